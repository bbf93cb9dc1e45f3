// Identifiers of the program's resources (icon and About box template).
#pragma once

#define IDI_HOLLYPHONE 101
#define IDD_ABOUT 106
#define IDC_ABOUT_OK 1005

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
