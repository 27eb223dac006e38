#pragma once

// Creates the main window, then every other window in the program's order, and
// sets the global instance pointers. Used by the entry point and by tests.
void CreateAllWindows();
// Destroys what CreateAllWindows made, in reverse order (tests create them anew).
void DestroyAllWindows();

// CreateAllWindows for the entry point: a failure while the windows are built (a
// missing beside-file) happens outside the event loop, so it is handed to the
// failure handler here. False when the windows could not be made.
bool StartWindows();

// "MS Sans Serif", the font of every window, is drawn with a metric-compatible face.
void InstallFontSubstitutes();
