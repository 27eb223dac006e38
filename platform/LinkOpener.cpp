#include "platform/LinkOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace {
std::function<void(const QString &)> &testOpener() {
    static std::function<void(const QString &)> opener;
    return opener;
}
} // namespace

void OpenLink(const QString &address) {
    if (testOpener()) {
        testOpener()(address);
        return;
    }
    QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

void SetLinkOpenerForTests(std::function<void(const QString &)> opener) {
    testOpener() = std::move(opener);
}
