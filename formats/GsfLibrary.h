#pragma once

// libgsf wants one initialisation per process before its first use.
void EnsureGsfInitialised();
