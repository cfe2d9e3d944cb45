#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>
#include "settings/config_dialog.h"

namespace {

// ---- The countdown date checks ----

DateFieldValue Field(uint32_t number) {
    return {true, number};
}
constexpr DateFieldValue EMPTY{false, 0};

std::string Check(DateFieldValue year, DateFieldValue month, DateFieldValue day) {
    const auto problem = CheckCountdownDate(year, month, day);
    return problem ? std::string(*problem) : "accepted";
}

constexpr const char* BAD_DATE = "Please enter a valid date!";
constexpr const char* BAD_YEAR = "Please enter a valid year!";
constexpr const char* BAD_MONTH = "Please enter a valid month! (1-12)";
constexpr const char* BAD_DAY = "Please enter a valid day of the month!";

TEST(CountdownDate, TwentyNinthOfFebruaryOnlyInLeapYears) {
    for (uint32_t year : {2000u, 2004u, 2024u, 2400u, 9996u}) {
        EXPECT_EQ(Check(Field(year), Field(2), Field(29)), "accepted") << year;
        EXPECT_EQ(Check(Field(year), Field(2), Field(30)), BAD_DAY) << year;
    }
    for (uint32_t year : {1900u, 2023u, 2100u, 9999u}) {
        EXPECT_EQ(Check(Field(year), Field(2), Field(29)), BAD_DAY) << year;
        EXPECT_EQ(Check(Field(year), Field(2), Field(28)), "accepted") << year;
    }
    // The leap day belongs to February only.
    EXPECT_EQ(Check(Field(2024), Field(4), Field(31)), BAD_DAY);
}

TEST(CountdownDate, DayMustExistInItsMonth) {
    EXPECT_EQ(Check(Field(2005), Field(4), Field(31)), BAD_DAY);
    EXPECT_EQ(Check(Field(2005), Field(4), Field(30)), "accepted");
    EXPECT_EQ(Check(Field(2005), Field(12), Field(31)), "accepted");
    EXPECT_EQ(Check(Field(2005), Field(1), Field(31)), "accepted");
    EXPECT_EQ(Check(Field(2005), Field(12), Field(32)), BAD_DAY);
    EXPECT_EQ(Check(Field(2005), Field(6), Field(0)), BAD_DAY);
    EXPECT_EQ(Check(Field(2005), Field(6), Field(4294967295u)), BAD_DAY);
}

TEST(CountdownDate, YearRunsFrom1900To9999) {
    EXPECT_EQ(Check(Field(1899), Field(5), Field(16)), BAD_YEAR);
    EXPECT_EQ(Check(Field(10000), Field(5), Field(16)), BAD_YEAR);
    EXPECT_EQ(Check(Field(0), Field(5), Field(16)), BAD_YEAR);
    EXPECT_EQ(Check(Field(4294967295u), Field(5), Field(16)), BAD_YEAR);
    EXPECT_EQ(Check(Field(1900), Field(1), Field(1)), "accepted");
    EXPECT_EQ(Check(Field(9999), Field(12), Field(31)), "accepted");
}

TEST(CountdownDate, MonthRunsFrom1To12) {
    EXPECT_EQ(Check(Field(2005), Field(0), Field(16)), BAD_MONTH);
    EXPECT_EQ(Check(Field(2005), Field(13), Field(16)), BAD_MONTH);
    EXPECT_EQ(Check(Field(2005), Field(4294967295u), Field(16)), BAD_MONTH);
}

TEST(CountdownDate, AnEmptyFieldIsNotADate) {
    EXPECT_EQ(Check(EMPTY, Field(5), Field(16)), BAD_DATE);
    EXPECT_EQ(Check(Field(2005), EMPTY, Field(16)), BAD_DATE);
    EXPECT_EQ(Check(Field(2005), Field(5), EMPTY), BAD_DATE);
}

TEST(CountdownDate, OnlyTheFirstFailingCheckSpeaks) {
    EXPECT_EQ(Check(EMPTY, Field(13), EMPTY), BAD_DATE);
    EXPECT_EQ(Check(Field(1899), EMPTY, Field(40)), BAD_YEAR);
    EXPECT_EQ(Check(Field(2005), Field(13), EMPTY), BAD_MONTH);
    EXPECT_EQ(Check(Field(2005), EMPTY, Field(40)), BAD_DATE);
}

// ---- The dialog template as the program carries it ----

struct TemplateItem {
    int32_t id;
    std::string className;
    std::string text;
    int textOrdinal;
    DWORD style;
    DWORD exStyle;
    RECT units;
};

struct DialogTemplate {
    WORD version = 0;
    WORD signature = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units{};
    std::string menu, className, title, face;
    WORD points = 0;
    std::vector<TemplateItem> items;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class TemplateReader {
public:
    explicit TemplateReader(const BYTE* start) : start_(start), at_(start) {}

    WORD Word() { return Read<WORD>(); }
    DWORD Dword() { return Read<DWORD>(); }
    RECT Units() {
        const short x = Read<short>(), y = Read<short>(), cx = Read<short>(), cy = Read<short>();
        return {x, y, cx, cy};
    }
    // A name or, after 0xFFFF, an ordinal (returned through `ordinal`, the text left empty).
    std::string NameOrOrdinal(int* ordinal = nullptr) {
        if (ordinal != nullptr) *ordinal = -1;
        const WORD first = Word();
        if (first == 0xFFFF) {
            const WORD value = Word();
            if (ordinal != nullptr) *ordinal = value;
            return "";
        }
        std::string text;
        for (WORD c = first; c != 0; c = Word()) text.push_back(static_cast<char>(c));
        return text;
    }
    // A control's class, by name or by the ordinal of a predefined class.
    std::string ClassName() {
        int ordinal = -1;
        std::string name = NameOrOrdinal(&ordinal);
        return ordinal < 0 ? Lower(name) : OrdinalClass(static_cast<WORD>(ordinal));
    }
    void AlignToDword() {
        while ((at_ - start_) % 4 != 0) ++at_;
    }
    void Skip(size_t bytes) { at_ += bytes; }

private:
    static std::string OrdinalClass(WORD value) {
        switch (value) {
            case 0x80:
                return "button";
            case 0x81:
                return "edit";
            case 0x82:
                return "static";
            case 0x83:
                return "listbox";
            case 0x85:
                return "combobox";
            default:
                return "";
        }
    }
    template <typename T>
    T Read() {
        T value;
        std::memcpy(&value, at_, sizeof(T));
        at_ += sizeof(T);
        return value;
    }
    const BYTE* start_;
    const BYTE* at_;
};

DialogTemplate ReadDialogTemplate(int id) {
    DialogTemplate result;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (resource == nullptr) return result;
    TemplateReader reader(static_cast<const BYTE*>(LockResource(LoadResource(module, resource))));
    result.version = reader.Word();
    result.signature = reader.Word();
    if (result.signature != 0xFFFF) return result;
    reader.Dword();  // help id
    result.exStyle = reader.Dword();
    result.style = reader.Dword();
    const WORD count = reader.Word();
    result.units = reader.Units();
    result.menu = reader.NameOrOrdinal();
    result.className = reader.NameOrOrdinal();
    result.title = reader.NameOrOrdinal();
    if (result.style & DS_SETFONT) {
        result.points = reader.Word();
        reader.Word();   // weight
        reader.Skip(2);  // italic, character set
        result.face = reader.NameOrOrdinal();
    }
    for (WORD i = 0; i < count; ++i) {
        reader.AlignToDword();
        TemplateItem item{};
        reader.Dword();  // help id
        item.exStyle = reader.Dword();
        item.style = reader.Dword();
        item.units = reader.Units();
        item.id = static_cast<int32_t>(reader.Dword());
        item.className = reader.ClassName();
        item.text = reader.NameOrOrdinal(&item.textOrdinal);
        reader.Skip(reader.Word());
        result.items.push_back(item);
    }
    return result;
}

constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE;
constexpr DWORD CHECK_BOX = CHILD | BS_AUTOCHECKBOX | BS_FLAT | WS_TABSTOP;
constexpr DWORD NUMBER_FIELD = CHILD | ES_NUMBER | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

struct ExpectedItem {
    int32_t id;
    const char* className;
    RECT units;
    DWORD style;
    DWORD exStyle;
    const char* text;
};

// The controls in tab order, as the dialog's layout and artwork expect them.
const ExpectedItem EXPECTED_ITEMS[] = {
    {-1, "static", {0, 0, 250, 215}, CHILD | SS_BITMAP, 0, ""},
    {IDOK, "button", {146, 12, 91, 14}, CHILD | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, "OK"},
    {IDCANCEL, "button", {146, 29, 91, 14}, CHILD | BS_PUSHBUTTON | WS_TABSTOP, 0, "Cancel"},
    {1006,
     "listbox",
     {116, 126, 120, 34},
     CHILD | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
     WS_EX_DLGMODALFRAME,
     ""},
    {102,
     "static",
     {116, 115, 120, 11},
     CHILD | SS_LEFTNOWORDWRAP | WS_GROUP,
     WS_EX_DLGMODALFRAME,
     "Directory Error!"},
    {1010,
     "static",
     {116, 104, 120, 11},
     CHILD | SS_LEFT | WS_GROUP,
     WS_EX_DLGMODALFRAME,
     "Searching for files..."},
    {1011, "button", {150, 69, 8, 8}, CHECK_BOX, 0, ""},
    {1012, "button", {150, 78, 8, 8}, CHECK_BOX, 0, ""},
    {1013, "edit", {12, 117, 84, 14}, CHILD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, ""},
    {1014, "button", {12, 96, 8, 8}, CHECK_BOX, 0, ""},
    {1015, "edit", {70, 147, 22, 12}, NUMBER_FIELD, 0, ""},
    {1016, "edit", {45, 147, 18, 12}, NUMBER_FIELD, 0, ""},
    {1017, "edit", {18, 147, 18, 12}, NUMBER_FIELD, 0, ""},
    {1019,
     "combobox",
     {147, 54, 91, 49},
     CHILD | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
     0,
     ""},
    {1018, "button", {150, 87, 8, 8}, CHECK_BOX, 0, ""},
};

TEST(DialogTemplate, IsAnExtendedCaptionlessPopupInTheSmallFont) {
    const DialogTemplate dialog = ReadDialogTemplate(CONFIG_DIALOG_ID);
    ASSERT_EQ(dialog.signature, 0xFFFF) << "not an extended template";
    EXPECT_EQ(dialog.version, 1);
    EXPECT_EQ(dialog.style,
              static_cast<DWORD>(WS_POPUP | DS_CENTER | DS_SETFOREGROUND | DS_SETFONT));
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.units.right, 250);
    EXPECT_EQ(dialog.units.bottom, 215);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.className, "");
    EXPECT_EQ(dialog.title, "");
    EXPECT_EQ(dialog.face, "MS Sans Serif");
    EXPECT_EQ(dialog.points, 8);
}

TEST(DialogTemplate, ControlsSitWhereTheArtworkExpectsThem) {
    const DialogTemplate dialog = ReadDialogTemplate(CONFIG_DIALOG_ID);
    ASSERT_EQ(dialog.items.size(), std::size(EXPECTED_ITEMS));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const TemplateItem& item = dialog.items[i];
        const ExpectedItem& expected = EXPECTED_ITEMS[i];
        SCOPED_TRACE("control " + std::to_string(i) + ", id " + std::to_string(expected.id));
        EXPECT_EQ(item.id, expected.id);
        EXPECT_EQ(item.className, expected.className);
        EXPECT_EQ(item.units.left, expected.units.left);
        EXPECT_EQ(item.units.top, expected.units.top);
        EXPECT_EQ(item.units.right, expected.units.right);
        EXPECT_EQ(item.units.bottom, expected.units.bottom);
        EXPECT_EQ(item.style, expected.style);
        EXPECT_EQ(item.exStyle, expected.exStyle);
        EXPECT_EQ(item.text, expected.text);
    }
    EXPECT_EQ(dialog.items[0].textOrdinal, CONFIG_BACKGROUND_BITMAP_ID);
}

TEST(DialogTemplate, BackgroundPictureIsThereInItsSize) {
    HBITMAP picture = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr),
                                                      MAKEINTRESOURCEA(CONFIG_BACKGROUND_BITMAP_ID),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(picture, nullptr);
    BITMAP info{};
    GetObjectA(picture, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 375);
    EXPECT_EQ(info.bmHeight, 350);
    DeleteObject(picture);
}

}  // namespace
