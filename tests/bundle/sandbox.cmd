@echo off
rem Runs this folder's tests in Windows Sandbox: writes vintrel_turnways-tests.wsb beside this
rem file and opens it. The sandbox sees this folder read-only as C:\vt-tests and its results\
rem folder, writable, as C:\vt-results; at sign-in it runs run-tests.cmd in a window that stays
rem open. It has no network. The .wsb is written as UTF-8, for a folder named in any language.
setlocal EnableExtensions DisableDelayedExpansion
set "folder=%~dp0"
set "folder=%folder:~0,-1%"
set "wsb=%~dp0vintrel_turnways-tests.wsb"
if not exist "%folder%\results\" mkdir "%folder%\results"
set "codepage=0"
for /f "tokens=2 delims=:." %%c in ('chcp') do set /a "codepage=%%c" 2>nul
chcp 65001 >nul 2>&1
set "host=%folder:&=&amp;%"
rem Line by line, in delayed expansion, so that a ) or & in the folder's name stays text.
setlocal EnableDelayedExpansion
 >"%wsb%" echo ^<Configuration^>
>>"%wsb%" echo   ^<Networking^>Disable^</Networking^>
>>"%wsb%" echo   ^<MappedFolders^>
>>"%wsb%" echo     ^<MappedFolder^>
>>"%wsb%" echo       ^<HostFolder^>!host!^</HostFolder^>
>>"%wsb%" echo       ^<SandboxFolder^>C:\vt-tests^</SandboxFolder^>
>>"%wsb%" echo       ^<ReadOnly^>true^</ReadOnly^>
>>"%wsb%" echo     ^</MappedFolder^>
>>"%wsb%" echo     ^<MappedFolder^>
>>"%wsb%" echo       ^<HostFolder^>!host!\results^</HostFolder^>
>>"%wsb%" echo       ^<SandboxFolder^>C:\vt-results^</SandboxFolder^>
>>"%wsb%" echo       ^<ReadOnly^>false^</ReadOnly^>
>>"%wsb%" echo     ^</MappedFolder^>
>>"%wsb%" echo   ^</MappedFolders^>
>>"%wsb%" echo   ^<LogonCommand^>
>>"%wsb%" echo     ^<Command^>cmd.exe /k C:\vt-tests\run-tests.cmd /results C:\vt-results^</Command^>
>>"%wsb%" echo   ^</LogonCommand^>
>>"%wsb%" echo ^</Configuration^>
endlocal
if %codepage% gtr 0 chcp %codepage% >nul
echo sandbox: wrote "%wsb%"
if exist "%SystemRoot%\System32\WindowsSandbox.exe" (
  start "" "%wsb%"
  exit /b 0
)
echo sandbox: Windows Sandbox is not turned on here. Windows 10 and 11 Pro, Enterprise and Education
echo have it: "Turn Windows features on or off", Windows Sandbox, then restart. Windows Home has none:
echo run the tests on a throw-away virtual machine with run-tests.cmd /this-pc-is-disposable instead.
exit /b 1
