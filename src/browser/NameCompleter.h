#pragma once

#include <QCompleter>
#include <QStringList>

class QStandardItemModel;

namespace fl {

namespace db {
class Database;
}

// Completes the species box: a typed piece matches anywhere in the common name, in the
// scientific name, or the four-letter code (the official alpha code, or the rule's code for
// a species that has none), ignoring case and the style of the apostrophe. The completion
// put into the box is always the common name.
class NameCompleter : public QCompleter {
    Q_OBJECT
public:
    explicit NameCompleter(QObject* parent = nullptr);

    // The species of the list, with their scientific names and codes read from the database.
    void setSpecies(const QStringList& names, db::Database& db);
    QString pathFromIndex(const QModelIndex& index) const override;

    // What a typed piece is matched against for one species.
    static QString matchText(const QString& name, const QString& sciName, const QString& code);

private:
    QStandardItemModel* m_model;
};

} // namespace fl
