#include "common/ClassicFonts.h"

#include <QFont>

void SubstituteClassicFonts()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}
