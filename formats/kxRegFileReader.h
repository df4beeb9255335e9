// A register file ("reg_init.txt" and its kind) read line by line, each line sorted by what the
// sender does with it.
//
// The file is read line by line (a line longer than 1023 characters in pieces, each handled as a
// line). Lines up to and including the one that contains ";(a) sensor controller system reset"
// are a header and are not sent; without that line the whole file is header. Later lines
// starting with ';', CR or LF are comments. A line containing ";reset isp" ends the file: the two
// lines after it are sent with a pause after each, and nothing after them is read. Every other
// line holds three hexadecimal numbers: the I2C device address in 8-bit form, the 16-bit register
// address and the data byte; missing numbers count as 0, and a line without any number is
// skipped.
#pragma once

#include <string>

#include "kxFileHandle.h"

class RegFileReader {
public:
    static constexpr const char* kHeaderEnd = ";(a) sensor controller system reset";
    static constexpr const char* kResetIsp = ";reset isp";
    // The longest piece of a line handled at once.
    static constexpr int kMaxPiece = 1023;

    enum class Kind {
        Header,    // before the header's end, the end included: not sent
        Comment,   // starts with ';', CR or LF: not sent
        ResetIsp,  // the reset marker: two more lines are sent, then the file ends
        Register,  // register data: sent
        Empty,     // where register data belongs, without a number: skipped
    };

    struct Line {
        int number = 0;    // the line of the file, from 1; the pieces of a long line share it
        long length = 0;   // the characters read, as text mode counts them (CR LF is one)
        std::string text;  // as read, line feed included
        Kind kind = Kind::Header;
        bool pauseAfter = false;  // one of the two lines after the reset marker
        // Register data: the numbers read (0 to 3), the values (0 where missing), and whether
        // something other than blanks follows where the reading stopped.
        int numbers = 0;
        unsigned long address = 0;
        unsigned long reg = 0;
        unsigned long data = 0;
        bool trailing = false;
    };

    // Opens path when it is a regular file; a pipe or a device would never end or never start.
    explicit RegFileReader(const char* path);

    bool isOpen() const { return m_file != nullptr; }
    // The file's size in bytes when it was opened.
    long size() const { return m_size; }
    // The next line. False at the end of the file, after the two lines that follow the reset
    // marker, and once the characters read pass the size the file had when it was opened (a file
    // that grows while it is read).
    bool next(Line& line);

    // What keeps a Register or Empty line from being sent as written, for a warning: "" for a
    // line of three numbers and nothing else.
    static std::string problem(const Line& line);

private:
    // One piece of at most kMaxPiece characters and its length; false at the end of the file.
    bool readPiece(Line& line);
    static void parse(Line& line);

    FileHandle m_file;
    long m_size = -1;
    long m_consumed = 0;
    int m_number = 0;
    bool m_lineStart = true;
    bool m_inHeader = true;
    int m_linesAfterReset = -1;  // lines still to send after the reset marker; -1 before it
};
