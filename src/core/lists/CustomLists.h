#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace fl::db { class Database; }

namespace fl {

// A custom ("patch") list: a name and the places whose sightings it counts, regions (by
// Reg_ID; a sighting counts when any of its four places is one of them) and site names (a
// sighting counts when its site is one of them, letter case and surrounding blanks ignored).
struct CustomList {
    int id = 0; // List_ID; 0 for a list not yet stored
    QString name;
    QList<int> regions;
    QStringList sites;
};

// A custom list that cannot be stored as it is: its message says why, in plain words.
class CustomListError : public std::runtime_error {
public:
    explicit CustomListError(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const noexcept { return m_message; }

private:
    QString m_message;
};

// Every stored custom list with its places, in the order of their names (letter case ignored).
QList<CustomList> readCustomLists(db::Database& db);

// Why `name` cannot name a list (empty, or another list's name; `exceptId` is the list being
// renamed), or an empty text when it can.
QString customListNameProblem(db::Database& db, const QString& name, int exceptId = 0);

// Stores a new list with its places (the name trimmed, sites trimmed, repeats dropped) in one
// transaction and returns its List_ID. Raises CustomListError for a name that cannot be used
// or a list without places.
int createCustomList(db::Database& db, const CustomList& list);
// Replaces the name and places of the stored list `list.id`, in one transaction; the same
// checks as createCustomList, and a list that no longer exists.
void updateCustomList(db::Database& db, const CustomList& list);
// Renames a list; raises CustomListError for a name that cannot be used.
void renameCustomList(db::Database& db, int id, const QString& name);
// Deletes a list and its places; false when there was no such list.
bool deleteCustomList(db::Database& db, int id);

} // namespace fl
