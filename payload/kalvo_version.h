// The demo client's version, for the resource scripts and the code alike.
#pragma once

#define KALVO_VERSION_NUMBERS 1, 1, 0, 4
#define KALVO_VERSION_TEXT "1.1.0.4"
#define KALVO_PRODUCT_NAME "Kalvo.Net"
#define KALVO_COMPANY_NAME "The Kalvo.Net authors"
#define KALVO_COPYRIGHT "Copyright (c) 2026 the Kalvo.Net authors"
