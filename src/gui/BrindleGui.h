// The windowed program's library: skinned toolkit, widgets, main window, dialogs, tray.
#pragma once
