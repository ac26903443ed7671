// Resource ids shared by the Windows resources and the window that loads them.
#pragma once

#define IDI_APPLICATION_ICON 1
#define IDI_FLASHGET 101
#define IDI_THUNDER 102
#define IDI_QQDL 103
#define IDI_DECODE 104
