// Tahoma, the window's font on Windows, where Linux has none of its own: Debian's fonts-wine
// ships a free Tahoma outside fontconfig's folders, which the program loads for itself.
#pragma once

namespace zentrova {

// Makes "Tahoma" available to the program's widgets once, if the system lacks it and the
// Wine fonts are installed. Chinese text still falls back to the system's CJK font.
void ProvideTahoma();

}  // namespace zentrova
