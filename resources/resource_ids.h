/* Resource numbers shared by resources.rc and the accessor; the resource
   compiler reads this file too, so it holds plain #defines only. */
#pragma once

#define ZENQAR_ICON_ID 1 /* the lowest icon number is the program file's icon */
#define ZENQAR_START_PICTURE_ID 101
#define ZENQAR_WORKING_PICTURE_ID 102
#define ZENQAR_PAGE_LABEL_PICTURE_ID 103
