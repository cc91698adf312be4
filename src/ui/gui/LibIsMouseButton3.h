#pragma once

class BView;

// True when the secondary mouse button, and only it, is down over the view's window
// (queued mouse messages counted).
bool LibIsMouseButton3(BView* view);
