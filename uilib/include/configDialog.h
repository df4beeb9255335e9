// Base of the library's settings dialogs: settings live in small text files, one "KEY<tab>VALUE"
// line per setting followed by an empty line. The dialog reads and writes such files as lists
// of lines, lists the files of a settings folder, and offers one pair of static value codecs per
// value type that turn a setting's text into the field holding it and back.
#pragma once

#include <QDialog>
#include <list>
#include <string>

#include "kxUiExport.h"

class KXUI_API configDialog : public QDialog {
    Q_OBJECT

public:
    // One typed setting: its codecs and the variable that holds it. A settings table is a
    // list of (key, _ceType_) pairs; the key is the name written in the file.
    struct _ceType_ {
        void (*getCodec)(void* field, std::string value);
        std::string (*putCodec)(void* field);
        void* field;
    };

    explicit configDialog(QWidget* parent = nullptr);
    ~configDialog() override;

    // Appends every line of the file to lines, each with its line feed; a line longer than
    // 1023 characters comes in pieces of 1023. Returns the number appended, 0 when the file
    // cannot be opened.
    virtual int readConfig(std::list<std::string>& lines, const std::string& fileName);
    // Writes each string followed by a line feed and returns how many were written. The new
    // content is written beside the file and renamed over it, so the old settings stay whole
    // until the new ones are complete; 0 (and the old file untouched) on any failure. A linked
    // file is written where its link points; a read-only file is refused.
    virtual int writeConfig(const std::string& fileName, const std::list<std::string>& lines);
    // Appends the names of the files (not folders) in folder, in name order. A folder that
    // does not exist adds nothing; other errors are shown in a warning box.
    void getConfigList(std::list<std::string>& names, const std::string& folder);
    // The text from the system's 8-bit encoding (UTF-8) to a wide string.
    std::wstring str2ws(const std::string& text);

    // The first 80 characters of text, with the letters a to z made upper case; other bytes
    // (UTF-8 sequences included) are kept as they are.
    static std::string toUpper(std::string text);

    // Value codecs. Fields: BOOL, YES and FLAG one byte (0 or 1), BYTE, WORD and UINT a 32-bit
    // integer, DOUBLE a double, STRING a buffer of at least 81 bytes. A null field is left
    // alone (put codecs then give ""). Numbers are read and written in the C locale whatever
    // the user's locale, so files stay readable everywhere. A DOUBLE is written in the
    // shortest text that reads back as the same value, and read whole, however long. A STRING
    // is cut to 80 bytes without splitting a UTF-8 character.
    static void getBOOL(void* field, std::string value);
    static void getBYTE(void* field, std::string value);
    static void getWORD(void* field, std::string value);
    static void getUINT(void* field, std::string value);
    static void getDOUBLE(void* field, std::string value);
    static void getSTRING(void* field, std::string value);
    static std::string putBOOL(void* field);
    static std::string putYES(void* field);
    static std::string putFLAG(void* field);
    static std::string putBYTE(void* field);
    static std::string putWORD(void* field);
    static std::string putUINT(void* field);
    static std::string putDOUBLE(void* field);
    static std::string putSTRING(void* field);
};
