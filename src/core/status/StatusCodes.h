#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>
#include <array>

namespace fl::codes {

// A checklist entry's one-letter status and its detail code `scode`: up to three groups of
// three characters (abundance, seasonal status, qualifier; "/" for nothing given).

// The bird page's status line for a status letter (compared exactly; anything else, a
// lower-case letter or a null value included, is "Status: No Status").
QString statusLine(const QVariant& status);

// The editor's word for a status letter ("None" for anything unknown), and back.
QString statusWord(const QString& letter);
QString statusLetter(const QString& word);
// The editor's status words in the order its box lists them.
const QStringList& statusWords();
// How much a status says of a species' standing in a region, in the editor's order: Breeder
// highest, then Visitor, Transient, Rarity, Extinct; None and anything unknown lowest (0).
// Several species merged into one keep the highest of their statuses.
int statusRank(const QVariant& status);

// The editor's words for each position of a group, in the order its boxes list them.
const QStringList& abundanceWords();
const QStringList& seasonWords();
const QStringList& qualifierWords();

// The editor's word for the letter at `position` (0, 1, 2) of a group; empty when the
// letter is "/" or not one of that position's letters.
QString editorWord(int position, QChar letter);

// The letter of an editor word of any position; "/" for an empty text or an unknown word.
QString CodeLetter(const QString& word);

// The detail window's phrase for one three-character group.
QString DescribeGroup(QStringView group);

// Whether a code carries detail: not blank and not nine slashes.
bool hasDetail(const QVariant& scode);

// The three lines of the detail window for a code (trimmed first).
std::array<QString, 3> detailLines(const QString& scode);

// The groups of a code to show in the editor's rows: one to three for a length of 3, 6
// or 9; none for any other length.
QStringList groupsForEditor(const QString& scode);

// The code the editor writes: per row, the letters of its three boxes' words.
QString encodeRows(const std::array<std::array<QString, 3>, 3>& words);

} // namespace fl::codes
