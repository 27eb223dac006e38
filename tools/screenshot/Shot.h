#pragma once

#include <QString>
#include <QWidget>
#include <functional>

// One picture: prepare() puts a window in the state to show and returns it; the
// picture is saved as <name>.png. Shots register themselves from their own file:
//   static ShotRegistration shot("TForm1", [] { return Form1; });
// A shot `onScreen` is drawn as the whole screen with the window where it was placed,
// and only when asked for by name (`--only NAME`, run by scripts/screenshot on a screen
// of the size the shot needs).
struct Shot {
    QString name;
    std::function<QWidget *()> prepare;
    std::function<void()> cleanup;
    bool onScreen = false;
};

QList<Shot> &Shots();

struct ShotRegistration {
    ShotRegistration(const QString &name, std::function<QWidget *()> prepare,
                     std::function<void()> cleanup = {}, bool onScreen = false) {
        Shots().append({name, std::move(prepare), std::move(cleanup), onScreen});
    }
};

// The working folder that the shots run in (a copy of the bundled data).
QString ShotWorkDir();
