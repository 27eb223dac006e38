#pragma once

#include <QString>
#include <QWidget>
#include <functional>

// One picture: prepare() puts a window in the state to show and returns it; the
// picture is saved as <name>.png. Shots register themselves from their own file:
//   static ShotRegistration shot("TForm1", [] { return Form1; });
struct Shot {
    QString name;
    std::function<QWidget *()> prepare;
    std::function<void()> cleanup;
};

QList<Shot> &Shots();

struct ShotRegistration {
    ShotRegistration(const QString &name, std::function<QWidget *()> prepare,
                     std::function<void()> cleanup = {}) {
        Shots().append({name, std::move(prepare), std::move(cleanup)});
    }
};

// The working folder that the shots run in (a copy of the bundled data).
QString ShotWorkDir();
