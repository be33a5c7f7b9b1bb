#include "qt/masterdata/companyproductsdialog.h"

#include <QBuffer>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "qt/framework/formwidgets.h"

namespace accise {

using namespace companyproducts;

namespace {

QByteArray bytesOf(std::string_view bytes) { return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())); }

// A BMP or JPEG picture that decodes.
bool decodesAsPicture(std::string_view bytes) {
    QByteArray data = bytesOf(bytes);
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    if (format != "bmp" && format != "jpeg") return false;
    return !reader.read().isNull();
}

} // namespace

CompanyProductsDialog::CompanyProductsDialog(CommandContext& ctx, Prompt& prompt, FormServices& services,
                                             QWidget* parent)
    : EntryDialog(form_, parent), form_(ctx, prompt, services) {
    form_.setPictureCheck(decodesAsPicture);
    form_.setViewChanged([this] { refreshView(); });
    chooser_ = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, QStringLiteral("Carica un'immagine del Prodotto"), QString(),
                                            QStringLiteral("Immagini (*.bmp *.jpg *.jpeg);;Tutti i file (*)"));
    };

    auto* le0 = lineEdit(this, "LE0");
    auto* le1 = lineEdit(this, "LE1");
    auto* r10 = lineEdit(this, "R10");
    auto* r14 = lineEdit(this, "R14");
    auto* me2 = lineEdit(this, "ME2");
    auto* dme2 = lineEdit(this, "DME2");
    auto* le3 = lineEdit(this, "LE3");
    auto* dle3 = lineEdit(this, "DLE3");
    auto* r11 = lineEdit(this, "R11");
    auto* r12 = lineEdit(this, "R12");
    auto* r13 = lineEdit(this, "R13");
    auto* i10 = lineEdit(this, "I10");
    auto* le5 = lineEdit(this, "LE5");
    auto* dle5 = lineEdit(this, "DLE5");
    for (QLineEdit* number : {r10, r14, r11, r12, r13, i10}) number->setAlignment(Qt::AlignRight);

    auto* list = makeSideButton(QStringLiteral("&Elenca"), QStringLiteral("mostra i prodotti"), QStringLiteral("BELENCA"));
    auto* chooseTa20 = makeSideButton(QStringLiteral("..."), QStringLiteral("mostra la tabella"), QStringLiteral("BME2"));
    auto* choosePackaging =
        makeSideButton(QStringLiteral("..."), QStringLiteral("mostra la tabella"), QStringLiteral("BLE5"));
    auto* newPackaging =
        makeSideButton(QStringLiteral("..."), QStringLiteral("Inserisce Nuovo Codice"), QStringLiteral("BNUOVOLE5"));
    for (QPushButton* b : {list, chooseTa20, choosePackaging}) b->setEnabled(services.hasLookupList());
    newPackaging->setEnabled(services.hasCodeEditor());
    connect(list, &QPushButton::clicked, this, [this] { runAction([this] { return form_.list(); }); });
    connect(chooseTa20, &QPushButton::clicked, this, [this] { runAction([this] { return form_.chooseTa20(); }); });
    connect(choosePackaging, &QPushButton::clicked, this,
            [this] { runAction([this] { return form_.choosePackaging(); }); });
    connect(newPackaging, &QPushButton::clicked, this, [this] { runAction([this] { return form_.addPackaging(); }); });
    bindLookupKeys("ME2", chooseTa20);
    bindLookupKeys("LE5", choosePackaging, newPackaging);
    listButton_ = list;

    modifyLabel_ = new QLabel(QString::fromUtf8(kModifyOrDelete), this);
    modifyLabel_->setObjectName(QStringLiteral("LMODIFICA"));
    modifyLabel_->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));

    auto* grid = new QGridLayout;
    grid->setColumnStretch(3, 1);
    int row = 0;
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(le0);
    codeRow->addWidget(list);
    codeRow->addStretch();
    codeRow->addWidget(modifyLabel_);
    grid->addWidget(label(this, QStringLiteral("Codice Prodotto"), le0), row, 0);
    grid->addLayout(codeRow, row++, 1, 1, 3);
    grid->addWidget(label(this, QStringLiteral("Descizione del Prodotto"), le1), row, 0);
    grid->addWidget(le1, row++, 1, 1, 3);
    grid->addWidget(label(this, QStringLiteral("Grado Plato"), r10), row, 0);
    grid->addWidget(r10, row, 1, Qt::AlignLeft);
    grid->addWidget(label(this, QStringLiteral("Grado alcolico"), r14), row, 2);
    grid->addWidget(r14, row++, 3, Qt::AlignLeft);
    auto* ta20Row = new QHBoxLayout;
    ta20Row->addWidget(me2);
    ta20Row->addWidget(chooseTa20);
    ta20Row->addWidget(dme2, 1);
    grid->addWidget(label(this, QStringLiteral("Codice Tabella Alcoli"), me2), row, 0);
    grid->addLayout(ta20Row, row++, 1, 1, 3);
    auto* bulkRow = new QHBoxLayout;
    bulkRow->addWidget(le3);
    bulkRow->addWidget(dle3, 1);
    grid->addWidget(label(this, QStringLiteral("Sfuso o coNdizionato ?  S/N"), le3), row, 0);
    grid->addLayout(bulkRow, row++, 1, 1, 3);

    const std::pair<QLineEdit*, const char*> packaged[] = {
        {r11, "Volume unitario in litri idrati"}, {r12, "Peso lordo unitario in Kg "},
        {r13, "Pari a ettogradi"},                {i10, "Unità per Imballaggio"}};
    for (int i = 0; i < 4; ++i) {
        auto* caption = label(this, QString::fromUtf8(packaged[i].second), packaged[i].first);
        grid->addWidget(caption, row + i / 2, (i % 2) * 2);
        grid->addWidget(packaged[i].first, row + i / 2, (i % 2) * 2 + 1, Qt::AlignLeft);
        packagedWidgets_.push_back(caption);
        packagedWidgets_.push_back(packaged[i].first);
    }
    row += 2;
    auto* packagingRow = new QHBoxLayout;
    packagingRow->addWidget(le5);
    packagingRow->addWidget(choosePackaging);
    packagingRow->addWidget(newPackaging);
    packagingRow->addWidget(dle5, 1);
    grid->addWidget(label(this, QStringLiteral("Tipo di Imballaggio"), le5), row, 0);
    grid->addLayout(packagingRow, row++, 1, 1, 3);

    photo_ = new QLabel(this);
    photo_->setObjectName(QStringLiteral("FOTO"));
    photo_->setFrameShape(QFrame::Box);
    photo_->setAlignment(Qt::AlignCenter);
    photo_->setFixedSize(kPhotoFrame, kPhotoFrame);
    auto* loadPhoto = new QPushButton(QStringLiteral("Carica un'immagine del Prodotto"), this);
    loadPhoto->setObjectName(QStringLiteral("BFOTO"));
    loadPhoto->setFocusPolicy(Qt::NoFocus);
    loadPhoto->setAutoDefault(false);
    connect(loadPhoto, &QPushButton::clicked, this, [this] { choosePhoto(); });
    auto* note = new QLabel(QStringLiteral("Nota: l'immagine non deve superare 100 Kbyte"), this);
    auto* photoButtons = new QVBoxLayout;
    photoButtons->addWidget(loadPhoto);
    photoButtons->addWidget(note);
    photoButtons->addStretch();

    auto* confirm = makeConfirmButton();
    auto* clear = new QPushButton(QStringLiteral("&Svuota"), this);
    clear->setObjectName(QStringLiteral("BSVUOTA"));
    auto* remove = new QPushButton(QStringLiteral("Cance&lla"), this);
    remove->setObjectName(QStringLiteral("BCANCELLA"));
    for (QPushButton* b : {clear, remove}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
    }
    connect(clear, &QPushButton::clicked, this, [this] { runAction([this] { return form_.clear(); }); });
    connect(remove, &QPushButton::clicked, this, [this] { runAction([this] { return form_.remove(); }); });
    deleteButton_ = remove;
    auto* abandon = makeAbandonButton();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(confirm);
    buttons->addWidget(clear);
    buttons->addWidget(remove);
    buttons->addWidget(abandon);
    auto* rightColumn = new QVBoxLayout;
    rightColumn->addStretch();
    rightColumn->addLayout(buttons);

    // The photo below the fields, the buttons beside it: the window fits 800 pixels.
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(photo_, 0, Qt::AlignTop);
    bottom->addLayout(photoButtons);
    bottom->addLayout(rightColumn, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(bottom);
    layout->addStretch();

    // The buttons and the label that take turns keep their room: the window does not
    // change its width when "Cance&lla" appears.
    for (QWidget* w : {static_cast<QWidget*>(remove), static_cast<QWidget*>(list),
                       static_cast<QWidget*>(modifyLabel_)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }

    finishSetup(confirm, abandon);
    refreshView();
}

void CompanyProductsDialog::refreshView() {
    const bool packaged = form_.packagedShown();
    for (QWidget* w : packagedWidgets_) w->setVisible(packaged);
    const bool loaded = form_.productLoaded();
    modifyLabel_->setVisible(loaded);
    deleteButton_->setVisible(loaded);
    listButton_->setVisible(!loaded);
    if (form_.photo() != shownPhoto_) showPhoto();
}

void CompanyProductsDialog::showPhoto() {
    shownPhoto_ = form_.photo();
    QImage image;
    if (!shownPhoto_.empty()) image.loadFromData(bytesOf(shownPhoto_));
    if (image.isNull()) {
        photo_->clear();
        photo_->setFixedSize(kPhotoFrame, kPhotoFrame);
        return;
    }
    // The frame's height; the width in the picture's proportion.
    const ShownSize size = shownPhotoSize(kPhotoFrame, image.width(), image.height());
    photo_->setFixedSize(std::max(size.width, 1), size.height);
    photo_->setPixmap(QPixmap::fromImage(
        image.scaled(std::max(size.width, 1), size.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}

void CompanyProductsDialog::choosePhoto() {
    const QString file = chooser_ ? chooser_(this) : QString();
    if (file.isEmpty()) return;
    runAction([this, file] { return form_.loadPhoto(file.toStdString()); });
}

void registerCompanyProductWindows(WindowRegistry& registry, QWidget* parent, Prompt& prompt,
                                   FormServices& services) {
    registry.add("AVINI", [parent, &prompt, &services](CommandContext& ctx) {
        CompanyProductsDialog(ctx, prompt, services, parent).run();
    });
    registry.addReturnWindow(kProductReturn, [parent, &prompt, &services](CommandContext& ctx) {
        CompanyProductsDialog(ctx, prompt, services, parent).run();
    });
}

} // namespace accise
