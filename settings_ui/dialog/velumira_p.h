// The host's settings dialog Velumira_P (window caption "<Velumira>").
#pragma once

// Shows the dialog modally, without an owner window, from the music settings
// LoadSettings has filled; returns when the dialog has closed. Apply writes
// the settings file, cancel and the close box write nothing.
void ShowVelumiraP();
