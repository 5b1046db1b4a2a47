#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace talmor {

// The 65 emoticons: codes "/" + a word, pictures 20 x 20.
constexpr int kEmoticonCount = 65;
constexpr int kEmoticonSize = 20;

// The code of emoticon `index` ("/微笑").
QString EmoticonCode(int index);
// Its name, the code without the "/" (the picker's tooltip).
QString EmoticonName(int index);
// The emoticon whose code begins `text` at `at` (first match in table order), or -1.
int EmoticonAt(const QString& text, int at);
// The picture of emoticon `index`.
QImage EmoticonPicture(int index);

// A text cut into runs of plain text and emoticons, in order.
struct TextPiece {
    QString text;      // the plain text, or the code of an emoticon
    int emoticon = -1; // the emoticon's index, -1 for plain text
};
std::vector<TextPiece> SplitEmoticons(const QString& text);

} // namespace talmor
