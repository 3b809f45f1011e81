#pragma once

#include <QString>

struct Context;

// A question to the user at the terminal: the text on standard error, the
// answer one line of standard input. Only "y" and "yes" (in any case) are
// yes; anything else, and the end of the input, is no. Ctrl-C ends the wait.
namespace question {

enum class Answer { Yes, No, Interrupted };

Answer askYesNo(Context &ctx, const QString &text);

} // namespace question
