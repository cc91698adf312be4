#pragma once

class BBitmap;

// Reads an image file (PNG, JPEG, BMP, GIF, XPM, PNM) into a new 32-bit bitmap; none when
// the file cannot be read or is not an image.
BBitmap* LibReadImageFile(const char* path);
