# The hosted CI's Windows step, run by .github/workflows/ci.yml: a test bundle on Windows.
#
# The Windows jobs of the hosted CI (.github/workflows/ci.yml): checks the release in DIST
# against its SHA256SUMS, unpacks its ARCH test bundle to C:\vt-tests and runs run-tests.cmd
# there (the runner sets CI and is an administrator), its reports in RESULTS; the reports'
# table (summary.md) goes to the job's page. Exits with run-tests.cmd's exit code.
#   scripts/lib/ci-windows.ps1 DIST ARCH RESULTS
param(
  [Parameter(Mandatory)] [string] $Dist,
  [Parameter(Mandatory)] [ValidateSet('x64', 'x86')] [string] $Arch,
  [Parameter(Mandatory)] [string] $Results
)
$ErrorActionPreference = 'Stop'

foreach ($line in Get-Content -LiteralPath (Join-Path $Dist 'SHA256SUMS')) {
  $want, $name = $line -split ' [ *]', 2
  $got = (Get-FileHash -Algorithm SHA256 -LiteralPath (Join-Path $Dist $name)).Hash
  if ($got -ne $want) { throw "${name}: SHA-256 $got, where SHA256SUMS has $want" }
}
Write-Output "ci-windows: every file of SHA256SUMS as it says"

$bundle = @(Get-ChildItem -LiteralPath $Dist -Filter "*-tests-$Arch.zip")
if ($bundle.Count -ne 1) { throw "no single $Arch test bundle in ${Dist}: $($bundle.Name)" }
Expand-Archive -LiteralPath $bundle[0].FullName -DestinationPath 'C:\vt-tests' -Force
$Results = (New-Item -ItemType Directory -Force -Path $Results).FullName
& 'C:\vt-tests\run-tests.cmd' /results $Results
$status = $LASTEXITCODE

$summary = Join-Path $Results 'summary.md'
if ($env:GITHUB_STEP_SUMMARY -and (Test-Path -LiteralPath $summary)) {
  "### $($bundle[0].Name) on $env:ImageOS`n" | Add-Content -LiteralPath $env:GITHUB_STEP_SUMMARY
  Get-Content -LiteralPath $summary | Add-Content -LiteralPath $env:GITHUB_STEP_SUMMARY
}
exit $status
