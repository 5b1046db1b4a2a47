#pragma once

#include <QString>

class QPlainTextEdit;

namespace talmor::testing {

// Types `text` at the end of `edit`, one key press per character as the operator would (a line
// feed as the Return key); QTest::keyClicks knows only ASCII keys.
void TypeKeys(QPlainTextEdit* edit, const QString& text);

} // namespace talmor::testing
