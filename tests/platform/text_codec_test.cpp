#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace tarnel {
namespace {

class TextCodec : public ::testing::TestWithParam<const char*> {
  protected:
    void SetUp() override { SetNarrowCharset(GetParam()); }
    void TearDown() override { SetNarrowCharset("UTF-8"); }
};

std::string Ansi(std::string_view utf8) {
    return Utf8ToAnsi(utf8.data(), static_cast<int>(utf8.size()));
}

TEST_P(TextCodec, ChineseLabelSurvivesWhole) {
    const std::string label = "application: label='王者荣耀 5v5' icon='res/a.png'";
    const std::string narrow = Ansi(label);
    EXPECT_EQ(AnsiToUtf8(narrow), label);
    EXPECT_EQ(AnsiToWide(narrow), L"application: label='王者荣耀 5v5' icon='res/a.png'");
    std::string inPlace = "允许访问网络";
    Utf8ToGbkInPlace(inPlace);
    EXPECT_EQ(inPlace, Ansi("允许访问网络"));
}

TEST_P(TextCodec, EmptyAndBrokenInput) {
    EXPECT_EQ(Utf8ToAnsi("abc", 0), "");
    EXPECT_EQ(Utf8ToAnsi("abc", -1), "");
    EXPECT_EQ(Utf8ToAnsi(nullptr, 3), "");
    // A cut-off character and a stray byte do not lose the text around them.
    const std::string broken = "ok \xE7\x8E then \xFF end";
    const std::string back = AnsiToUtf8(Ansi(broken));
    EXPECT_EQ(back.substr(0, 3), "ok ");
    EXPECT_NE(back.find(" then "), std::string::npos);
    EXPECT_EQ(back.substr(back.size() - 4), " end");
}

INSTANTIATE_TEST_SUITE_P(Charsets, TextCodec, ::testing::Values("UTF-8", "GBK"));

TEST(TextCodecGbk, BytesAreGbk) {
    SetNarrowCharset("GBK");
    EXPECT_EQ(Ansi("中"), "\xD6\xD0");
    EXPECT_EQ(Ansi("字节"), "\xD7\xD6\xBD\xDA");
    // A character GBK lacks becomes a question mark, the rest stays.
    EXPECT_EQ(Ansi("a😀b"), "a?b");
    SetNarrowCharset("UTF-8");
}

}  // namespace
}  // namespace tarnel
