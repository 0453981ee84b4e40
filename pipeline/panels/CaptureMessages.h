#pragma once
// The messages between the screen-capture panel and its helper windows.
enum CaptureMessage : int {
    WM_REGION_CHOSEN = 0x54D,         // selector -> panel; wParam: the selector's kind; payload: CaptureRect
    WM_REGION_CANCELLED = 0x54E,      // selector -> panel
    WM_FINDER_RELEASED = 0x47A,       // window finder -> panel: attach the frame window to the picked window
    WM_CAPTURE_FRAME_CLOSED = 0x47D,  // frame window -> panel: the user closed the frame
};
