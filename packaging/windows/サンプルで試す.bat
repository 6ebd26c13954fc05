@echo off
rem Makes the sample feed beside this file, imports it and starts the window on
rem the stand-in of JV-Link. Run it in a copy of the folder, not in the one
rem that holds your own data.
cd /d "%~dp0"
if not exist sample-feed tervan-tool.exe make-sample-feed sample-feed
tervan-tool.exe import-jv . sample-feed
if not exist yLZH mkdir yLZH
copy /y sample-feed\*.lzh yLZH\ >nul 2>nul
start "" tervan.exe --stand-in
