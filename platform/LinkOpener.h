#pragma once

#include <QString>
#include <functional>

// Hands a web address to the desktop's default handler; the outcome is ignored.
void OpenLink(const QString &address);

// Tests capture the addresses instead of launching a browser.
void SetLinkOpenerForTests(std::function<void(const QString &)> opener);
