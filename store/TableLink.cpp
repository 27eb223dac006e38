#include "store/TableLink.h"

TableLink::TableLink(QObject *parent) : QObject(parent) {}

TableLink::~TableLink() = default;

void TableLink::Notify(int notices) {
    if (disabled > 0) {
        pendingNotices |= notices;
        return;
    }
    if (notices & NoticeState)
        emit stateChanged();
    if (notices & NoticeReset)
        emit dataReset();
    if (notices & NoticeRow)
        emit rowChanged();
}

void TableLink::DisableControls() {
    ++disabled;
}

void TableLink::EnableControls() {
    if (disabled == 0 || --disabled > 0)
        return;
    const int notices = pendingNotices;
    pendingNotices = 0;
    if (notices)
        Notify(notices);
}

bool TableLink::ControlsDisabled() const {
    return disabled > 0;
}

void TableLink::SetOnGetText(const QString &fieldName, GetTextHook hook) {
    hooks.insert(fieldName.toLower(), std::move(hook));
    Notify(NoticeReset);
}

QString TableLink::DisplayText(int column, const QVariant &value) const {
    const QString name = FieldNameAt(column);
    if (!name.isEmpty()) {
        const auto it = hooks.constFind(name.toLower());
        if (it != hooks.constEnd() && *it)
            return (*it)(value);
    }
    return value.toString();
}
