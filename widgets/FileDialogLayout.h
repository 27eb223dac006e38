#pragma once

class QFileDialog;

// Opens a file dialog large enough, and with its detail columns sized to their
// contents, that the size, type and date of every file can be read.
void ShowFileDetailsWhole(QFileDialog &dialog);
