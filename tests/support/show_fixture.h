// Common set-up of the tests: a fresh stand-in on the offscreen host, the system's globals
// back at their start values, and helpers to read a surface's pixels.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/ddraw/ddraw.h"
#include "platform/host/offscreen/offscreen.h"

// Resets the stand-in (faults, log, windows, queue, offscreen host) and the show's globals.
void ResetShowState(const OffscreenConfig& config = OffscreenConfig());

// Sets up the display as start-up does (window and InitDisplay), asserting success. The
// display's layout is the offscreen configuration's (rgb555).
void OpenTestDisplay();

// The same through the show's own main window, whose procedure turns Escape into
// AbortRequested.
void OpenShowDisplay();

uint16_t PixelAt(IDirectDrawSurface* surface, int x, int y);
void FillSurface(IDirectDrawSurface* surface, uint16_t value);
// An off-screen plain surface of the open display, asserting success (null on failure).
IDirectDrawSurface* CreatePlainSurface(int width, int height);

// A temporary folder, removed with its contents at the end of the test.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// Runs the code under test in `dir`, where the show looks for "images\\..." files.
class ScopedWorkingDir {
  public:
    explicit ScopedWorkingDir(const std::string& dir);
    ~ScopedWorkingDir();

  private:
    std::string previous_;
};

class ShowTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetShowState(); }
};
