#pragma once

#include "capture/rfcentry.h"
#include "store/datasource.h"

#include <QLineEdit>

namespace kivo {

// How the application data source sees one entry of the window. Each remembers what it was
// last shown, so the window can tell whether the user typed into a record never saved.
class EntryBinding : public BoundEntry
{
public:
    EntryBinding(QLineEdit *entry, QString field)
        : m_entry(entry),
          m_field(std::move(field))
    {
    }
    QString boundField() const override { return m_field; }
    QString boundText() const override { return m_entry->text(); }
    void showBoundText(const QString &text) override
    {
        m_entry->setText(text);
        m_shown = boundText();
    }
    bool typedInto() const { return boundText() != m_shown; }

protected:
    QLineEdit *m_entry;
    QString m_field;
    QString m_shown;
};

class RfcBinding : public EntryBinding
{
public:
    explicit RfcBinding(RfcEntry *entry)
        : EntryBinding(entry, QStringLiteral("RFC"))
    {
    }
    QString boundText() const override { return static_cast<RfcEntry *>(m_entry)->rfcText(); }
    void showBoundText(const QString &text) override
    {
        static_cast<RfcEntry *>(m_entry)->setRfcText(text);
        m_shown = boundText();
    }
};

} // namespace kivo
