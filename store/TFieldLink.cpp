#include "store/TFieldLink.h"

#include "store/TTable.h"

#include <QEvent>
#include <QMetaProperty>

TFieldLink::TFieldLink(TTable *table, const QString &fieldName, QObject *target,
                       const char *property, QObject *parent)
    : QObject(parent), table(table), fieldName(fieldName), target(target), property(property) {
    connect(table, &TTable::rowChanged, this, &TFieldLink::TableChanged);
    connect(table, &TTable::stateChanged, this, &TFieldLink::TableChanged);
    connect(table, &TTable::dataReset, this, &TFieldLink::TableChanged);
    const QMetaObject *meta = target->metaObject();
    const int index = meta->indexOfProperty(property);
    if (index >= 0) {
        const QMetaProperty p = meta->property(index);
        if (p.hasNotifySignal()) {
            const int slot = metaObject()->indexOfSlot("TargetChanged()");
            QMetaObject::connect(target, p.notifySignalIndex(), this, slot);
        }
    }
    target->installEventFilter(this);
    UpdateTarget();
}

bool TFieldLink::TargetHidden() const {
    const QVariant visible = target->property("visible");
    return visible.isValid() && !visible.toBool();
}

void TFieldLink::TableChanged() {
    if (!target)
        return;
    if (TargetHidden()) {
        stale = true;
        return;
    }
    UpdateTarget();
}

void TFieldLink::UpdateTarget() {
    if (!target)
        return;
    stale = false;
    QVariant value;
    if (table->Active() && table->FieldNames().contains(fieldName, Qt::CaseInsensitive) &&
        (table->GetState() != TTable::State::Browse || !table->IsEmpty()))
        value = table->FieldByName(fieldName);
    const QVariant current = target->property(property.constData());
    // Text properties show a missing value as empty text.
    const QVariant shown =
        current.typeId() == QMetaType::QString ? QVariant(value.toString()) : value;
    if (current == shown)
        return;
    updating = true;
    target->setProperty(property.constData(), shown);
    updating = false;
}

void TFieldLink::TargetChanged() {
    if (updating || !target)
        return;
    const TTable::State state = table->GetState();
    if (state != TTable::State::Edit && state != TTable::State::Insert)
        return;
    updating = true;
    table->SetFieldValue(fieldName, target->property(property.constData()));
    updating = false;
}

bool TFieldLink::eventFilter(QObject *watched, QEvent *event) {
    if (watched == target && event->type() == QEvent::Show && stale)
        UpdateTarget();
    return QObject::eventFilter(watched, event);
}
