#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// One way to ask for a file name, for every file dialog of the editor: a non-native
// dialog (so tests can answer it) sized so that file details read whole. Saving asks
// before replacing a file, with the file name shown as plain text.
QString WithoutAccessKeys(const QString &caption);

struct FileQuestion {
    QString objectName; // FileOpen1, FileSaveAs1, FileOpen2, FileSaveAs2
    QString caption;    // as the menu item names it ("&Open..."): the title shows "Open..."
    QString folder;
    bool save = false; // false: an existing file is chosen
    QStringList filters;
    QString selectedFilter; // empty: the first
    QString defaultSuffix;
    QString suggested; // a name filled in
    // The extension that the chosen filter entry gives a name without one; empty
    // keeps defaultSuffix whatever the entry.
    QStringList filterSuffixes; // one per entry of `filters`, or empty

    // The chosen path; empty when cancelled.
    QString Ask(QWidget *parent) const;
};
