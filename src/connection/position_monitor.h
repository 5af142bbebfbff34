#pragma once

// The position strip at work: polling, preset, diagnostics.
