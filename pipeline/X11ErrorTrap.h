#pragma once
// Xlib's own handler ends the process on any protocol error; while a trap is set, errors only mark
// the requests made under it as failed. One trap at a time, on the user-interface thread.
typedef struct _XDisplay Display;

class CX11ErrorTrap {
public:
    explicit CX11ErrorTrap(Display* display);
    ~CX11ErrorTrap();
    CX11ErrorTrap(const CX11ErrorTrap&) = delete;
    CX11ErrorTrap& operator=(const CX11ErrorTrap&) = delete;

    // Waits for the server's answers and tells whether any was an error.
    bool Failed();

private:
    Display* display_;
};
