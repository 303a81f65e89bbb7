// Resource numbers of TAVROCFG.CPL.
#ifndef TAVROCFG_RESOURCE_H
#define TAVROCFG_RESOURCE_H

#define IDD_APPLET        100

#define IDC_PAGE_TITLE    1001
#define IDC_PAGE          1002
#define IDC_ADAPTER_ID    1003
#define IDC_DESCRIPTION   1004

#endif
