// The About box's dialog template: icon, product line, link, free-resources
// line and OK, in a narrow starting size that the width fit widens when the
// box opens. No Windows calls here.
#pragma once
#include "about/dialog_template.h"

const int ABOUT_ICON_ID = 100;
const int ABOUT_PRODUCT_ID = 101;
const int ABOUT_LINK_ID = 102;
const int ABOUT_RESOURCES_ID = 103;
const int ABOUT_OK_ID = 1;

const int ABOUT_ITEM_COUNT = 5;

// The About box's description; items holds ABOUT_ITEM_COUNT records.
void DescribeAboutTemplate(DialogTemplateDesc* dialog, DialogItemDesc* items);
// A malloc'd template (free it), or null.
void* BuildAboutTemplate();
