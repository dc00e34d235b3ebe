// The key of every field of the interface string table, in table order.
#include "settings/LangKeys.h"

#include <array>

namespace bitonix {

namespace {

constexpr std::array<TLangKey, LangKeyCount> Keys = {{
    {"btnAddFiles", &TLangStrings::SBtnAddFiles},
    {"btnRemove", &TLangStrings::SBtnRemove},
    {"btnClear", &TLangStrings::SBtnClear},
    {"btnAboutHint", &TLangStrings::SBtnAboutHint},
    {"listEmptyHint", &TLangStrings::SListEmptyHint},
    {"gbOutput", &TLangStrings::SGbOutput},
    {"rbSeparate", &TLangStrings::SRbSeparate},
    {"lblPattern", &TLangStrings::SLblPattern},
    {"hintPattern", &TLangStrings::SHintPattern},
    {"rbMerge", &TLangStrings::SRbMerge},
    {"chkOpenFolder", &TLangStrings::SChkOpenFolder},
    {"btnBrowse", &TLangStrings::SBtnBrowse},
    {"gbProcessing", &TLangStrings::SGbProcessing},
    {"lblDpi", &TLangStrings::SLblDpi},
    {"lblRotation", &TLangStrings::SLblRotation},
    {"rotNone", &TLangStrings::SRotNone},
    {"rot90L", &TLangStrings::SRot90L},
    {"rot90R", &TLangStrings::SRot90R},
    {"rot180", &TLangStrings::SRot180},
    {"lblContrast", &TLangStrings::SLblContrast},
    {"lblContrastLow", &TLangStrings::SLblContrastLow},
    {"lblContrastHigh", &TLangStrings::SLblContrastHigh},
    {"lblPersp", &TLangStrings::SLblPersp},
    {"rbPerspNone", &TLangStrings::SRbPerspNone},
    {"rbPerspAuto", &TLangStrings::SRbPerspAuto},
    {"rbPerspSemi", &TLangStrings::SRbPerspSemi},
    {"lblPreview", &TLangStrings::SLblPreview},
    {"btnStart", &TLangStrings::SBtnStart},
    {"btnStop", &TLangStrings::SBtnStop},
    {"prgPreparing", &TLangStrings::SPrgPreparing},
    {"prgConverting", &TLangStrings::SPrgConverting},
    {"prgFile", &TLangStrings::SPrgFile},
    {"prgPage", &TLangStrings::SPrgPage},
    {"prgCancelled", &TLangStrings::SPrgCancelled},
    {"msgDone", &TLangStrings::SMsgDone},
    {"dlgAddFiles", &TLangStrings::SDlgAddFiles},
    {"dlgSelectOutput", &TLangStrings::SDlgSelectOutput},
    {"fltSupported", &TLangStrings::SFltSupported},
    {"fltAllFiles", &TLangStrings::SFltAllFiles},
    {"msgNoFiles", &TLangStrings::SMsgNoFiles},
    {"msgWarning", &TLangStrings::SMsgWarning},
    {"mergedName", &TLangStrings::SMergedName},
    {"aboutTitle", &TLangStrings::SAboutTitle},
    {"btnClose", &TLangStrings::SBtnClose},
    {"btnUpdate", &TLangStrings::SBtnUpdate},
    {"updAsk", &TLangStrings::SUpdAsk},
    {"updLatest", &TLangStrings::SUpdLatest},
    {"updTitle", &TLangStrings::SUpdTitle},
    {"updNewVersionMsg", &TLangStrings::SUpdNewVersionMsg},
    {"updCheckFailed", &TLangStrings::SUpdCheckFailed},
    {"lblLanguage", &TLangStrings::SLblLanguage},
    {"hintBtnAdd", &TLangStrings::SHintBtnAdd},
    {"hintBtnRemove", &TLangStrings::SHintBtnRemove},
    {"hintBtnClear", &TLangStrings::SHintBtnClear},
    {"hintList", &TLangStrings::SHintList},
    {"hintPreview", &TLangStrings::SHintPreview},
    {"hintRbSeparate", &TLangStrings::SHintRbSeparate},
    {"hintRbMerge", &TLangStrings::SHintRbMerge},
    {"hintOutputFile", &TLangStrings::SHintOutputFile},
    {"hintBtnBrowse", &TLangStrings::SHintBtnBrowse},
    {"hintChkOpenFolder", &TLangStrings::SHintChkOpenFolder},
    {"hintDpi", &TLangStrings::SHintDpi},
    {"hintRotation", &TLangStrings::SHintRotation},
    {"hintContrast", &TLangStrings::SHintContrast},
    {"hintPerspNone", &TLangStrings::SHintPerspNone},
    {"hintPerspAuto", &TLangStrings::SHintPerspAuto},
    {"hintPerspSemi", &TLangStrings::SHintPerspSemi},
    {"hintBtnStart", &TLangStrings::SHintBtnStart},
    {"hintLanguage", &TLangStrings::SHintLanguage},
    {"hintBtnUpdate", &TLangStrings::SHintBtnUpdate},
    {"hintBtnClose", &TLangStrings::SHintBtnClose},
    {"hintVelkorBiz", &TLangStrings::SHintVelkorBiz},
    {"hintVelkorEu", &TLangStrings::SHintVelkorEu},
}};

} // namespace

std::span<const TLangKey> LangKeys() {
    return Keys;
}

} // namespace bitonix
