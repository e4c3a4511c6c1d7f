#pragma once

// The texts the stock search compares: codes without blanks and punctuation, names as words, both in
// upper case with the Turkish letters folded (İ I ı i → I, Ğ → G, Ü → U, Ş → S, Ö → O, Ç → C), so that
// "0 986-452/041", "0986452041" and "fren balatası" find what "FREN BALATASI" holds.

#include <QString>
#include <QStringView>

namespace tarvik::server {

QString foldText(QStringView text);
// Letters and digits only.
QString codeKey(QStringView text);
// Words of letters and digits separated by single blanks.
QString nameKey(QStringView text);
// The full-text query for a search term (columns `kodlar` and `adlar` of the trigram index), or empty
// when the term has nothing the index can look for (every part shorter than three characters).
QString stockSearchQuery(QStringView term);

} // namespace tarvik::server
