#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class TTable;

// Binds one field of a table dataset to a property of any object, as a data-bound edit
// box: the property shows the field of the current row (or of the edit buffer), and a
// change of the property is written into the edit buffer while the dataset is in Edit
// or Insert. Typical targets: a QLineEdit's "text", a QPlainTextEdit's "plainText".
//
// A hidden target is brought up to date when it is shown, so that a loop over every
// row does not rewrite an edit box that nobody sees.
class TFieldLink : public QObject {
    Q_OBJECT
public:
    TFieldLink(TTable *table, const QString &fieldName, QObject *target, const char *property,
               QObject *parent = nullptr);

    QString FieldName() const { return fieldName; }
    QObject *Target() const { return target; }
    // Shows the field now.
    void UpdateTarget();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void TargetChanged();

private:
    void TableChanged();
    bool TargetHidden() const;

    TTable *table;
    QString fieldName;
    QPointer<QObject> target;
    QByteArray property;
    bool updating = false;
    bool stale = false;
};
