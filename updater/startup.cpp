#include "startup.h"

#include <QTextCodec>

namespace romwriter {

bool useGb18030AsLocalEncoding()
{
    // Qt 5 names the codec "GB18030"; Qt 4 called it "GB18030-0". Translated
    // texts are always UTF-8 in Qt 5, so only the locale codec is set.
    QTextCodec *codec = QTextCodec::codecForName("GB18030-0");
    if (!codec)
        codec = QTextCodec::codecForName("GB18030");
    if (!codec)
        return false;
    QTextCodec::setCodecForLocale(codec);
    return true;
}

} // namespace romwriter
