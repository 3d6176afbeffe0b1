#include "about/about_template.h"

#include "about/dialog_template.h"

namespace {

const uint32_t WS_POPUP_ = 0x80000000;
const uint32_t WS_VISIBLE_ = 0x10000000;
const uint32_t WS_CAPTION_ = 0x00C00000;
const uint32_t WS_SYSMENU_ = 0x00080000;
const uint32_t WS_GROUP_ = 0x00020000;
const uint32_t DS_CONTEXTHELP_ = 0x2000;
const uint32_t DS_MODALFRAME_ = 0x80;
const uint32_t DS_SETFONT_ = 0x40;
const uint32_t DS_SYSMODAL_ = 0x02;
const uint32_t SS_LEFT_ = 0x0;
const uint32_t SS_ICON_ = 0x3;
const uint32_t BS_DEFPUSHBUTTON_ = 0x1;

const uint32_t ABOUT_STYLE = WS_POPUP_ | WS_VISIBLE_ | WS_CAPTION_ | WS_SYSMENU_ | DS_CONTEXTHELP_ |
                             DS_MODALFRAME_ | DS_SETFONT_ | DS_SYSMODAL_;
const uint32_t TEXT_STYLE = TEMPLATE_WS_CHILD | WS_VISIBLE_ | SS_LEFT_;

// The MS P Gothic face of Japanese Windows, spelt with full-width letters.
const char16_t ABOUT_FACE[] = u"ＭＳ Ｐゴシック";
const char16_t OK_TEXT[] = u"OK";

}  // namespace

void DescribeAboutTemplate(DialogTemplateDesc* dialog, DialogItemDesc* items) {
  // The text controls start one unit wide, and the box is just wide enough for
  // them and a 7-unit right margin (30 + 1 + 7 = 38); the OK button starts
  // outside and is centred once the fit knows the width. The height is the OK
  // button's bottom plus the same margin (35 + 14 + 7 = 56).
  const DialogItemDesc about[ABOUT_ITEM_COUNT] = {
      {STATIC_CLASS_ORDINAL, 0, TEMPLATE_WS_CHILD | WS_VISIBLE_ | SS_ICON_, 0, 7, 7, 20, 21,
       ABOUT_ICON_ID},
      {STATIC_CLASS_ORDINAL, 0, TEXT_STYLE, 0, 30, 7, 1, 8, ABOUT_PRODUCT_ID},
      {STATIC_CLASS_ORDINAL, 0, TEXT_STYLE, 0, 30, 16, 1, 8, ABOUT_LINK_ID},
      {STATIC_CLASS_ORDINAL, 0, TEXT_STYLE, 0, 30, 25, 1, 8, ABOUT_RESOURCES_ID},
      {BUTTON_CLASS_ORDINAL, TemplateName(OK_TEXT),
       TEMPLATE_WS_CHILD | WS_VISIBLE_ | WS_GROUP_ | BS_DEFPUSHBUTTON_, 0, 45, 35, 45, 14,
       ABOUT_OK_ID},
  };
  for (int i = 0; i < ABOUT_ITEM_COUNT; ++i) items[i] = about[i];
  // The caption is set when the box opens, from the version block.
  *dialog = {ABOUT_STYLE, 0, ABOUT_ITEM_COUNT, 0, 0, 38, 56, 0, nullptr, 0, ABOUT_FACE, 9};
}

void* BuildAboutTemplate() {
  DialogTemplateDesc dialog;
  DialogItemDesc items[ABOUT_ITEM_COUNT];
  DescribeAboutTemplate(&dialog, items);
  return BuildDialogTemplate(&dialog, items);
}
