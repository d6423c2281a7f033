#pragma once

// The uninstall notice: to remove the app completely, delete the downloads
// first or remove the home directory, which it names. It lives beside the
// directory tree it names rather than with the generic alert functions.
void DeleteAlert();
