#pragma once
// Every key of the settings file, in one table. The generic sections ("CheckBoxes",
// "RadioButtons", "IntValues", ...) name their keys after the main window's controls; files
// written earlier use these names, so they are part of the format.

#include "app/IniFile.h"

namespace app::keys {

// Main window placement.
inline constexpr IniKey kPosX{"Position", "PosX"};
inline constexpr IniKey kPosY{"Position", "PosY"};
inline constexpr IniKey kWidth{"Position", "Width"};
inline constexpr IniKey kHeight{"Position", "Height"};
inline constexpr IniKey kState{"Position", "State"};

// Check boxes of the main window (also what the options export holds).
inline constexpr IniKey kResizeImages{"CheckBoxes", "CheckBox18"};
inline constexpr IniKey kPackToZipBox{"CheckBoxes", "ChBZIp"};
inline constexpr IniKey kShowHyperlinksBox{"CheckBoxes", "ChBHyperLinks"};
inline constexpr IniKey kShowTitleInfo{"CheckBoxes", "ChBShowTitleInfo"};

// Radio buttons, one boolean per option.
inline constexpr IniKey kLanguageEnglish{"RadioButtons", "RadioButton1"};
inline constexpr IniKey kLanguageRussian{"RadioButtons", "RadioButton2"};
inline constexpr IniKey kLanguageOther{"RadioButtons", "RadioButton3"};
inline constexpr IniKey kBorderAsSource{"RadioButtons", "RadioButton4"};
inline constexpr IniKey kBorderVisible{"RadioButtons", "RadioButton5"};
inline constexpr IniKey kTablesAsIs{"RadioButtons", "RadioButton6"};
inline constexpr IniKey kTablesContentOnly{"RadioButtons", "RadioButton7"};
inline constexpr IniKey kTablesToImage{"RadioButtons", "RadioButton8"};

inline constexpr IniKey kMaxImageWidth{"IntValues", "SpinEdit1"};
inline constexpr IniKey kMaxImageHeight{"IntValues", "SpinEdit2"};
inline constexpr IniKey kOtherLanguageFile{"Labels", "Label1"};
inline constexpr IniKey kTitleHeadingLevel{"ComboBoxes", "Combo1"};
inline constexpr IniKey kCharset{"ComboBoxes", "Combo2"};
inline constexpr IniKey kDefaultLanguage{"Edits", "ELang"};

inline constexpr IniKey kUtfOutput{"main", "isUtf"};
inline constexpr IniKey kPackToZip{"main", "zip"};
inline constexpr IniKey kShowHyperlinks{"main", "hyper"};
inline constexpr IniKey kTableFontName{"main", "TbFontName"};
inline constexpr IniKey kTableFontSize{"main", "TbFontSize"};
inline constexpr IniKey kRepairStructure{"main", "repair"};

// Book information dialog: read when it is created, written when it closes.
inline constexpr IniKey kFileNameVariant{"BookInfo", "FManeVar"};  // true = variant 1
inline constexpr IniKey kAuthorTabStop{"BookInfo", "atabstop"};
inline constexpr IniKey kDocAuthorFirstName{"DocInfo", "AFName"};
inline constexpr IniKey kDocAuthorLastName{"DocInfo", "ALName"};
inline constexpr IniKey kDocAuthorMiddleName{"DocInfo", "AMName"};
inline constexpr IniKey kDocAuthorNick{"DocInfo", "Nick"};
inline constexpr IniKey kDocAuthorHome{"DocInfo", "Home"};
inline constexpr IniKey kDocAuthorMail{"DocInfo", "Mail"};
inline constexpr IniKey kSourceUrl{"DocInfo", "Url"};

// Batch window: read when it is created, written at program end.
inline constexpr IniKey kBatchOutputFolder{"Batch", "path"};

}  // namespace app::keys
