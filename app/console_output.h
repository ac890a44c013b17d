// Where quadkit's messages go: standard output and standard error, each
// message written whole. Standard output is handed on before any line goes
// to standard error, so whoever reads both sees each diagnostic after the
// messages that came before it. A stream redirected to a file or a pipe
// receives exactly the given bytes on every system; on a Windows console
// the UTF-8 text is shown as the letters it stands for, whatever the
// console's code page.
#ifndef QUADKIT_APP_CONSOLE_OUTPUT_H_
#define QUADKIT_APP_CONSOLE_OUTPUT_H_

#include <string>

// Text for standard output, exactly as given.
void WriteStandardOutput(const std::string& text);

// One line for standard error: the text and a line feed, in one write.
void WriteStandardErrorLine(const std::string& text);

// Hands on whatever standard output still holds.
void FlushStandardOutput();

#endif  // QUADKIT_APP_CONSOLE_OUTPUT_H_
