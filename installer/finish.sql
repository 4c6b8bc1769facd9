-- What wixl cannot write, put into the package it made: run one line at a time with
-- `msibuild PKG -q`, after the database's code page is set to 932 (Shift-JIS), which the
-- Japanese texts need. A line that starts with "x64:" or "x86:" is for that width only;
-- @VERSION@ is the package's version.

-- The guide's name (short|long).
UPDATE `File` SET `FileName` = 'GUIDE.TXT|はじめにお読みください.txt' WHERE `File` = 'guide'

-- The wrong Windows, and an older version over a newer one.
x64: UPDATE `LaunchCondition` SET `Description` = 'このパッケージは 64 ビット版 Windows 用です。32 ビット版 Windows では vintrel_turnways_front-@VERSION@-x86.msi をお使いください。' WHERE `Description` = 'WRONG_WINDOWS'
x86: UPDATE `LaunchCondition` SET `Description` = 'このパッケージは 32 ビット版 Windows 用です。64 ビット版 Windows のエクスプローラーには 32 ビット版の右クリックメニューが表示されないため、vintrel_turnways_front-@VERSION@-x64.msi をお使いください。' WHERE `Description` = 'WRONG_WINDOWS'
UPDATE `LaunchCondition` SET `Description` = 'より新しいバージョンの VINTREL turnways がインストールされています。このバージョンを使うには、先に「設定」の「アプリ」から新しいバージョンをアンインストールしてください。' WHERE `Description` = 'DOWNGRADE'

-- The Start-menu shortcut points at the program itself (wixl makes it an advertised one).
UPDATE `Shortcut` SET `Target` = '[#front]' WHERE `Shortcut` = 'menu'

-- On uninstall, the handler's registration goes with its component: the handler key under "*"
-- and the class key with everything below them (Name "-": delete the key, write nothing). The
-- package's width decides the view of CLSID, as the program of that width writes it.
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('handlerKey', 0, '*\shellex\ContextMenuHandlers\vintrel_turnways', '-', 'Handler')
INSERT INTO `Registry` (`Registry`, `Root`, `Key`, `Name`, `Component_`) VALUES ('classKey', 0, 'CLSID\{3C7A9E21-5B04-4D8F-A612-0E9B47D2C185}', '-', 'Handler')
-- wixl sequences the registry actions only for a package that writes a value (Approved).
DELETE FROM `InstallExecuteSequence` WHERE `Action` = 'RemoveRegistryValues'
DELETE FROM `InstallExecuteSequence` WHERE `Action` = 'WriteRegistryValues'
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveRegistryValues', 2600)
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteRegistryValues', 5000)

-- An update removes the old product late, so that the components both hold stay, with the
-- handler's registration (installer/vintrel_turnways.wxs says why and what it costs): where
-- Windows Installer's documentation puts it, right after InstallExecute, which runs the new
-- product's script so far, and before InstallFinalize.
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('InstallExecute', 6500)
UPDATE `InstallExecuteSequence` SET `Sequence` = 6550 WHERE `Action` = 'RemoveExistingProducts'
