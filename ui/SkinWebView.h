#pragma once
// The embedded web view of a skinned window, made in the rectangle of its web control.
class CUIWnd;
class QString;
class QWebEngineView;

// Null when the address is empty or the window has no such control: no browser is started for nothing.
QWebEngineView* CreateSkinWebView(CUIWnd* window, int id, const QString& url);
