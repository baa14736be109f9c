#pragma once

class cGenString;
class cWidgetAlert;
struct sFailedOpen;
class cFontHandle;

// Tells the user, on the shared alert, of a manual or folder the desktop's
// opener could not open, with the address so it can be opened by hand. A
// failure waits while another alert is up. Main thread, once a frame.
void ReportFailedOpens(cWidgetAlert* alert);

// The alert's lines for the failure: the reason above the address when each
// fits a line of the width; else the address whole where it can be, over
// both lines when it needs them, broken after a "/" where one fits.
void DescribeFailedOpen(const sFailedOpen& failed, const cFontHandle& font, float width, cGenString& first,
                        cGenString& second);
