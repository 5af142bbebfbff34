#pragma once

// Pure encoding and decoding of the configuration and SSI format registers.
