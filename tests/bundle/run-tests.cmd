@echo off
rem Runs every test program of this folder once, as the test command runs it under Wine:
rem   run-tests.cmd [/this-pc-is-disposable] [/results FOLDER] [/time-limit SECONDS]
rem Each program leaves its GoogleTest report NAME.xml and its output NAME.log in results\ beside
rem this file (or FOLDER). One line per program, then "N passed, M failed, K skipped"; the same
rem as a Markdown table in summary.md there, with the names of the failed cases. A program runs
rem for at most SECONDS (900 unless given): past that it is ended, with what it started, and
rem counted as failed. Exit status: 0 all passed, 1 a case failed, a program wrote no report,
rem ran past its time or exited with a code other than 0, 2 nothing was run.
rem The tests write the handler's registration and the options key of the PC they run on: they
rem run only in Windows Sandbox, where CI is set, or when told that the PC is disposable;
rem anywhere else it shows README.txt, which says so in Japanese and English (UTF-8, hence
rem chcp 65001 while it runs).
setlocal EnableExtensions DisableDelayedExpansion
set "here=%~dp0"
set "results=%~dp0results"
set "disposable="
set "limit=900"
set "sys=%SystemRoot%\System32"
:arguments
if "%~1"=="" goto parsed
if /i "%~1"=="/this-pc-is-disposable" (
  set "disposable=1"
  shift
  goto arguments
)
if /i "%~1"=="/time-limit" (
  set /a "limit=%~2" 2>nul
  shift
  shift
  goto arguments
)
if /i not "%~1"=="/results" goto usage
if "%~2"=="" goto usage
set "results=%~f2"
shift
shift
goto arguments
:usage
echo usage: run-tests.cmd [/this-pc-is-disposable] [/results FOLDER] [/time-limit SECONDS]
exit /b 2
:parsed
if %limit% leq 0 goto usage
set "codepage=0"
for /f "tokens=2 delims=:." %%c in ('%sys%\chcp.com') do set /a "codepage=%%c" 2>nul
"%sys%\chcp.com" 65001 >nul 2>&1
set "status=2"

set "where="
if /i "%USERNAME%"=="WDAGUtilityAccount" set "where=Windows Sandbox"
if defined CI set "where=CI is set"
if defined disposable set "where=/this-pc-is-disposable"
if defined where goto allowed
type "%here%README.txt"
echo.
echo run-tests: nothing was run and nothing was written.
goto done

:allowed
rem The tests write HKEY_CLASSES_ROOT and start the program, which asks for administrator rights.
rem Only administrators may read the local service's hive, or list the sessions (Wine has no
rem such hive, and lets every program do anything).
"%sys%\reg.exe" query "HKU\S-1-5-19" >nul 2>&1
if not errorlevel 1 goto elevated
"%sys%\net.exe" session >nul 2>&1
if not errorlevel 1 goto elevated
echo run-tests: needs administrator rights: run it from a command prompt opened as administrator.
goto done

:elevated
echo run-tests: %where%; the reports go to "%results%"
if not exist "%results%\" mkdir "%results%"
pushd "%results%"
if errorlevel 1 goto done
set /a "passed=0, failed=0, skipped=0"
> summary.md echo ^| program ^| passed ^| failed ^| skipped ^|
>> summary.md echo ^|---^|---:^|---:^|---:^|
type nul > failed-cases.md
for /f "delims=" %%t in ('dir /b /on "%here%*_test.exe"') do call :run "%%~nt"
>> summary.md echo ^| all ^| %passed% ^| %failed% ^| %skipped% ^|
for %%f in (failed-cases.md) do if %%~zf equ 0 goto listed
>> summary.md echo.
>> summary.md echo Failed:
type failed-cases.md >> summary.md
:listed
del failed-cases.md
popd
echo %passed% passed, %failed% failed, %skipped% skipped
set "status=0"
if %failed% gtr 0 set "status=1"
goto done

rem :run NAME: runs NAME.exe in the results folder, within the time limit, and counts from its
rem GoogleTest summary and its exit code. Windows' own find.exe, whatever the PATH holds; its
rem path unquoted, as for /f would take the quotes off (Windows' own folder has no spaces).
:run
del "%~1.xml" >nul 2>&1
<nul set /p "=%~1: "
"%here%time_limit.exe" %limit% "%here%%~1.exe" "--gtest_output=xml:%results%\%~1.xml" >"%~1.log" 2>&1
set "code=%errorlevel%"
set "why="
if "%code%"=="258" set "why=ran past its time limit of %limit% seconds and was ended"
if not defined why if not exist "%~1.xml" set "why=no report, exit code %code%"
if not defined why goto report
echo %why%: counted as failed
set /a "failed+=1"
>> summary.md echo ^| %~1 ^| 0 ^| 1 ^| 0 ^|
>> failed-cases.md echo - %~1: %why%
exit /b
:report
set /a "p=0, f=0, s=0"
for /f "tokens=4" %%n in ('%sys%\find.exe "[  PASSED  ]" ^< "%~1.log"') do set /a "p=%%n"
for /f "tokens=4" %%n in ('%sys%\find.exe "[  FAILED  ]" ^< "%~1.log" ^| %sys%\find.exe ", listed below:"') do set /a "f=%%n"
for /f "tokens=4" %%n in ('%sys%\find.exe "[  SKIPPED ]" ^< "%~1.log" ^| %sys%\find.exe ", listed below:"') do set /a "s=%%n"
rem A program that exits with another code than 0 after a clean report (a crash in its static
rem destructors, say) fails once more.
if %f% equ 0 if not "%code%"=="0" set "why=exit code %code% after its report"
if defined why set /a "f+=1"
<nul set /p "=%p% passed, %f% failed, %s% skipped"
if defined why <nul set /p "=; %why%: counted as failed"
echo.
set /a "passed+=p, failed+=f, skipped+=s"
>> summary.md echo ^| %~1 ^| %p% ^| %f% ^| %s% ^|
if defined why >> failed-cases.md echo - %~1: %why%
set "listing="
for /f "tokens=4-6 delims=, " %%a in ('%sys%\find.exe "[  FAILED  ]" ^< "%~1.log"') do call :failed "%~1" "%%a" "%%c"
exit /b

rem :failed NAME CASE WORD: a "[  FAILED  ]" line of NAME's output, its fourth and sixth words.
rem GoogleTest ends with "N tests, listed below:" and a line for each failed case.
:failed
if defined listing >> failed-cases.md echo - %~1: %~2
if "%~3"=="listed" set "listing=1"
exit /b

:done
if %codepage% gtr 0 "%sys%\chcp.com" %codepage% >nul
exit /b %status%
