#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingTestFolder.h"
#include "settings/CTextFileRead.h"
#include "settings/CTextFileWrite.h"

namespace {

using Lines = std::vector<std::wstring>;

Lines ReadLines(const std::wstring& path, TextEncoding* encoding = nullptr)
{
    CTextFileRead file(path);
    if (encoding)
        *encoding = file.GetEncoding();
    Lines lines;
    for (std::wstring line; file.ReadLine(line);)
        lines.push_back(line);
    return lines;
}

std::string Written(const SettingTestFolder& folder, TextEncoding encoding, const std::wstring& text)
{
    {
        CTextFileWrite file(folder.File("out.txt"), encoding);
        EXPECT_TRUE(file.IsOpen());
        file.Write(text);
    }  // the destructor flushes and closes
    return folder.ReadBytes("out.txt");
}

}  // namespace

TEST(TextFileRead, ByteOrderMarksSelectTheEncoding)
{
    SettingTestFolder folder;
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        Lines lines;
    };
    const Case cases[] = {
        // EF BB BF, 'a', CR, LF, 'b'
        {"\xEF\xBB\xBF" "a\r\nb", Utf8, {L"a", L"b"}},
        // C3 A9 = U+00E9, E2 82 AC = U+20AC, a lone continuation byte 80, then a four-byte
        // sequence F0 9F 98 80 that yields one U+FFFD per byte
        {"\xEF\xBB\xBF\xC3\xA9\xE2\x82\xAC\x80\xF0\x9F\x98\x80z", Utf8, {L"\u00e9\u20ac\ufffd\ufffd\ufffd\ufffd\ufffdz"}},
        // FF FE, 'h' 00, U+20AC as AC 20
        {std::string("\xFF\xFE" "h\0\xAC\x20", 6), Utf16LittleEndian, {L"h\u20ac"}},
        // FE FF, 00 'h', 20 AC
        {std::string("\xFE\xFF\0h\x20\xAC", 6), Utf16BigEndian, {L"h\u20ac"}},
        // EF BB 41 is no mark: ANSI from the first byte (the stand-in code page is Latin-1)
        {"\xEF\xBB\x41", Ansi, {L"\u00ef\u00bb" L"A"}},
        // shorter than any mark
        {"x", Ansi, {L"x"}},
    };
    for (const Case& c : cases) {
        folder.WriteBytes("in.txt", c.bytes);
        TextEncoding encoding = Ansi;
        const Lines lines = ReadLines(folder.File("in.txt"), &encoding);
        EXPECT_EQ(encoding, c.encoding);
#ifdef _WIN32
        if (c.encoding == Ansi)  // the system code page decides the first two characters
            continue;
#endif
        EXPECT_EQ(lines, c.lines) << c.bytes.size();
    }

    folder.WriteBytes("in.txt", "\xEF\xBB\xBF" "a\r\nb");
    CTextFileRead all(folder.File("in.txt"));
    std::wstring text;
    ASSERT_TRUE(all.ReadAll(text, L"\r\n"));
    EXPECT_EQ(text, L"a\r\nb");
}

TEST(TextFileRead, WithoutAMarkUtf8ThroughoutIsReadAsUtf8AndAnythingElseInTheCodePage)
{
    SettingTestFolder folder;
    const std::string ascii(2000, 'a');  // more than one buffer
    struct Case {
        std::string bytes;
        TextEncoding encoding;
        std::wstring text;
    };
    const Case cases[] = {
        // C3 A9 = U+00E9, E2 82 AC = U+20AC, CE A9 = U+03A9, as an editor saves them
        {"caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9", Utf8, L"caf\u00e9 \u20ac \u03a9"},
        // U+20AC across the end of the first buffer (bytes 1023 to 1025)
        {ascii.substr(0, 1023) + "\xE2\x82\xAC", Utf8, std::wstring(1023, L'a') + L"\u20ac"},
        // Latin-1 E9 is no UTF-8: the code page (Latin-1 in the stand-in and the prefix)
        {"caf\xE9", Ansi, L"caf\u00e9"},
        // the same, far behind valid UTF-8: the whole text decides
        {"\xC3\xA9" + ascii + "\xE9", Ansi, L"\u00c3\u00a9" + std::wstring(2000, L'a') + L"\u00e9"},
        // a sequence cut short at the end, an overlong form, an encoded surrogate
        {"ab\xE2\x82", Ansi, L""},
        {"\xC0\xAF", Ansi, L""},
        {"\xED\xA0\xBD", Ansi, L""},
        // nothing beyond ASCII: the code page, as before
        {ascii, Ansi, std::wstring(2000, L'a')},
        // the edges of each sequence length: lowest and highest of each, one past either side
        {"\xC3\xA9", Utf8, L"\u00e9"},
        {"\xC2\xA0\xDF\xBF", Utf8, L"\u00a0\u07ff"},
        {"\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBD", Utf8, L"\u0800\ud7ff\ufffd"},
        {"\xF0\x90\x80\x80", Utf8, L""},
        {"\xF1\x80\x80\x80", Utf8, L""},
        {"\xF4\x8F\xBF\xBF", Utf8, L""},
        {"\xC1\xBF", Ansi, L""},
        {"\xC3\xC0", Ansi, L""},
        {"a\xFF" "a", Ansi, L"a\u00ff" L"a"},
        {"\xE0\x9F\xBF", Ansi, L""},
        {"\xE2\xC0\x80", Ansi, L""},
        {"\xF0\x8F\xBF\xBF", Ansi, L""},
        {"\xF1\xC0\x80\x80", Ansi, L""},
        {"\xF4\x90\x80\x80", Ansi, L""},
        {"\xF5\x80\x80\x80", Ansi, L""},
        {"\xC3\xA9\x80", Ansi, L""},
        // a broken sequence at the end of the first buffer, "continued" by the second
        {ascii.substr(0, 1022) + "\xC3(" "\xA9", Ansi, L""},
        // a short second buffer: what the first left behind it is not read again
        {ascii.substr(0, 5) + "\xC3\xA9" + ascii.substr(0, 1017) + "bbbbb", Utf8, L""},
    };
    for (const Case& c : cases) {
        folder.WriteBytes("in.txt", c.bytes);
        CTextFileRead file(folder.File("in.txt"));
        std::wstring text;
        ASSERT_TRUE(file.ReadAll(text));
        EXPECT_EQ(file.GetEncoding(), c.encoding) << c.bytes.substr(0, 8);
        if (!c.text.empty()) {
            EXPECT_EQ(text, c.text) << c.bytes.substr(0, 8);
        }
    }
}

TEST(TextFileRead, LineTerminatorsAndEmptyLines)
{
    SettingTestFolder folder;
    folder.WriteBytes("empty.txt", "");
    EXPECT_EQ(ReadLines(folder.File("empty.txt")), Lines{L""});

    // LF CR is two terminators with an empty line between; CR LF and lone CR end one line each.
    folder.WriteBytes("mixed.txt", "a\n\rb\r\nc\rd\n");
    EXPECT_EQ(ReadLines(folder.File("mixed.txt")), (Lines{L"a", L"", L"b", L"c", L"d", L""}));
    folder.WriteBytes("utf16.txt", std::string("\xFF\xFE" "a\0\n\0\r\0b\0", 10));
    EXPECT_EQ(ReadLines(folder.File("utf16.txt")), (Lines{L"a", L"", L"b"}));
}

TEST(TextFileRead, LongLinesCrossTheBufferWhole)
{
    SettingTestFolder folder;
    std::wstring line;
    for (int i = 0; i < 5000; ++i)
        line += static_cast<wchar_t>(L'a' + i % 26);
    for (TextEncoding encoding : {Ansi, Utf8, Utf16LittleEndian, Utf16BigEndian}) {
        Written(folder, encoding, line + L"\r\n" + line);
        EXPECT_EQ(ReadLines(folder.File("out.txt")), (Lines{line, line})) << "encoding " << encoding;
    }
}

TEST(TextFileWrite, MarksAndEncodedBytes)
{
    SettingTestFolder folder;
    EXPECT_EQ(Written(folder, Utf16LittleEndian, L"A\u20ac"), std::string("\xFF\xFE\x41\x00\xAC\x20", 6));
    EXPECT_EQ(Written(folder, Utf16BigEndian, L"A\u20ac"), std::string("\xFE\xFF\x00\x41\x20\xAC", 6));
    // U+00E9 -> C3 A9, U+20AC -> E2 82 AC, a lone surrogate -> ED A0 BD
    EXPECT_EQ(Written(folder, Utf8, L"\u00e9\u20ac"), "\xEF\xBB\xBF\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(Written(folder, Utf8, std::wstring(1, static_cast<wchar_t>(0xD83D))), "\xEF\xBB\xBF\xED\xA0\xBD");
    EXPECT_EQ(Written(folder, Ansi, std::wstring(L"cut\0here", 8)), "cut");
    EXPECT_EQ(Written(folder, Utf8, L"\u007f\u0080\u07ff\u0800"), "\xEF\xBB\xBF\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80");

    // Text far beyond the buffer survives the flushes in order.
    std::wstring big;
    for (int i = 0; i < 3000; ++i)
        big += i % 7 ? static_cast<wchar_t>(L'0' + i % 10) : L'\u20ac';
    Written(folder, Utf8, big);
    CTextFileRead back(folder.File("out.txt"));
    std::wstring text;
    ASSERT_TRUE(back.ReadAll(text));
    EXPECT_EQ(text, big);
}

TEST(TextFile, FailuresAreReportedNotThrown)
{
    SettingTestFolder folder;
    CTextFileRead missing(folder.File("missing.txt"));
    EXPECT_FALSE(missing.IsOpen());
    std::wstring text;
    EXPECT_FALSE(missing.ReadLine(text));
    EXPECT_FALSE(missing.ReadAll(text));

    CTextFileWrite nowhere(folder.File("no-such-dir/x.txt"), Utf8);
    EXPECT_FALSE(nowhere.IsOpen());
    EXPECT_FALSE(nowhere.Good());
#ifndef _WIN32
    // A device that refuses every write: the failure must show in Good(), not be lost at Close.
    CTextFileWrite full(L"/dev/full", Utf8);
    ASSERT_TRUE(full.IsOpen());
    full.Write(std::wstring(4000, L'x'));
    full.Close();
    EXPECT_FALSE(full.Good());
    // A write that fails while the file is still open shows at once, before any close.
    CTextFileWrite refused(L"/dev/full", Utf8);
    refused.Write(std::wstring(100000, L'x'));
    EXPECT_FALSE(refused.Good());
#endif
}

#ifdef _WIN32
// U+00E9 is one byte in the prefix's system code page; the round trip goes through
// WideCharToMultiByte and MultiByteToWideChar.
TEST(TextFileWrite, AnsiRoundTripsThroughTheSystemCodePage)
{
    SettingTestFolder folder;
    EXPECT_EQ(Written(folder, Ansi, L"caf\u00e9").size(), 4u);
    EXPECT_EQ(ReadLines(folder.File("out.txt")), Lines{L"caf\u00e9"});
}
#endif
