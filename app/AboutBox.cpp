#include "app/AboutBox.h"

#include "platform/AppPaths.h"
#include "platform/VersionInfo.h"

#include <QApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TAboutBox *AboutBox = nullptr;

QString GetVersionString(int index)
{
    const VersionInfo info = programVersionInfo();
    switch (index) {
    case 0:
        return QString(); // no company is recorded in the build
    case 1:
        return info.description;
    case 2:
        return info.version;
    case 3:
    case 5:
        return QFileInfo(programPath()).fileName();
    case 4:
        return info.legalNotice;
    case 7:
        return info.productName;
    default:
        return info.version;
    }
}

TAboutBox::TAboutBox(QWidget *owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Sunken);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    const QIcon icon = QApplication::windowIcon().isNull()
                           ? QApplication::style()->standardIcon(QStyle::SP_ComputerIcon)
                           : QApplication::windowIcon();
    ProgramIcon->setPixmap(icon.pixmap(32, 32));
    ProgramIcon->setAlignment(Qt::AlignCenter);

    auto makeLabel = [this](const char *name) {
        auto *label = new QLabel(Panel1);
        label->setObjectName(QString::fromLatin1(name));
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    ProductName = makeLabel("ProductName");
    Version = makeLabel("Version");
    Copyright = makeLabel("Copyright");
    Comments = makeLabel("Comments");
    Comments->setWordWrap(true);

    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->addWidget(ProgramIcon);
    panelLayout->addWidget(ProductName);
    panelLayout->addWidget(Version);
    panelLayout->addWidget(Copyright);
    panelLayout->addWidget(Comments);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Panel1);
    layout->addWidget(OKButton, 0, Qt::AlignHCenter);

    Version->setText(QStringLiteral("     Version ") + GetVersionString(2));
    ProductName->setText(GetVersionString(7));
    Copyright->setText(GetVersionString(4));
    Comments->setText(GetVersionString(1));
    OKButton->setFocus();
}
