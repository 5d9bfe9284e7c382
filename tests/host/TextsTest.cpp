#include "app/core/Texts.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(Language, JapaneseForAJapaneseWindowsEnglishForAnyOtherUnlessTheSettingsForceOne) {
    struct Case {
        std::optional<std::string> setting;
        std::uint16_t uiLanguage;
        Language expected;
    };
    const Case cases[] = {
        {std::nullopt, 0x0411, Language::Japanese},  // ja-JP
        {std::nullopt, 0x0011, Language::Japanese},  // Japanese, no region
        {std::nullopt, 0x0409, Language::English},   // en-US
        {std::nullopt, 0x0804, Language::English},   // zh-CN
        {std::nullopt, 0x0412, Language::English},   // ko-KR
        {std::nullopt, 0x0000, Language::English},   // neutral
        {std::nullopt, 0x0111, Language::English},   // a primary language with Japanese's low byte
        {"en", 0x0411, Language::English},
        {"EN", 0x0411, Language::English},
        {"ja", 0x0409, Language::Japanese},
        {"Ja", 0x0409, Language::Japanese},
        {"", 0x0411, Language::Japanese},
        {"fr", 0x0409, Language::English},
        {"japanese", 0x0409, Language::English},
        {"ja-JP", 0x0409, Language::English},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseLanguage(c.setting, c.uiLanguage), c.expected)
            << (c.setting ? *c.setting : "(no key)") << " on 0x" << std::hex << c.uiLanguage;
}

TEST(Language, AMessageNamesItsFile) {
    EXPECT_EQ(WithPath(TextsFor(Language::Japanese).CannotCreateLog, "C:\\a.log"), "ファイル C:\\a.log を作成できません");
    EXPECT_EQ(WithPath(TextsFor(Language::English).CannotCreateLog, "C:\\100%s.log"), "Cannot create file C:\\100%s.log");
    EXPECT_EQ(WithPath(TextsFor(Language::English).CannotChangeStartup, "C:\\a.log"),
              TextsFor(Language::English).CannotChangeStartup);
}

}  // namespace
}  // namespace vantor
