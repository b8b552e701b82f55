#pragma once
// --toolkit-demo <out.png>: renders a demo dialog of the toolkit offscreen
// (background, pictures in several show modes, nine-slice frames, text).
// Returns the program's exit code: 0 when the picture was written.
int RunToolkitDemo(const char* outPng);
