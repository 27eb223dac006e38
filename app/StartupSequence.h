#pragma once

// Creates the main window, then every other window in the program's order, and
// sets the global instance pointers. Used by the entry point and by tests.
void CreateAllWindows();
// Destroys what CreateAllWindows made, in reverse order (tests create them anew).
void DestroyAllWindows();
