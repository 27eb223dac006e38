#pragma once

// The most resident memory this process has held so far (VmHWM), in MB.
double PeakMegabytes();
