# GSM page, GPRS dialog and masked edit tests are added here
