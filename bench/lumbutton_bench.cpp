// SPDX-License-Identifier: GPL-3.0-or-later
// Painting one 120 × 32 button in each style (with a shadowed picture), and repainting a window that
// holds twelve buttons.
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonpainter.h"

#include "benchmain.h"
#include <QApplication>
#include <QGridLayout>
#include <QPainter>
#include <QStyle>

#include <benchmark/benchmark.h>

using namespace zelvora;

namespace {

LumPicture picture()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(0xE0, 0xE0, 0xE0));
    QPainter p(&image);
    p.fillRect(3, 3, 10, 10, QColor(0x20, 0x80, 0x30));
    return {image, false};
}

void paintOneButton(benchmark::State& state)
{
    const int style = int(state.range(0));
    const int drawState = int(state.range(1));
    LumButtonProperties props = LumButtonProperties::newControl(QStringLiteral("Müşteri Ekle"));
    props.buttonStyle = style;
    props.colorScheme = LumButtonProperties::defaultScheme(style, lum::SchemeBlue);
    props.applySchemeColors();
    props.pictureNormal = picture();
    props.pictureShadow = true;
    props.pictureAlign = lum::PictureLeftEdge;
    LumPaintState paintState;
    paintState.state = drawState;
    QImage surface(120, 32, QImage::Format_ARGB32_Premultiplied);
    const QPalette palette = QApplication::palette();
    const QStyle* qstyle = QApplication::style();
    for (auto _ : state) {
        LumButtonPainter::paint(surface, props, paintState, palette, qstyle);
        benchmark::DoNotOptimize(surface.constBits());
    }
}
BENCHMARK(paintOneButton)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 13, 1), {lum::StateNormal, lum::StateHot, lum::StateDown}})
    ->Unit(benchmark::kMicrosecond);

void repaintTwelveButtons(benchmark::State& state)
{
    QWidget window;
    auto* grid = new QGridLayout(&window);
    for (int i = 0; i < 12; ++i) {
        auto* b = new LumButton(QStringLiteral("Düğme %1").arg(i + 1), &window);
        b->setButtonStyle(i % 2 ? lum::StyleGlass : lum::StyleWarmToolbar);
        b->setPictureNormal(picture());
        b->setPictureShadow(true);
        b->setPictureAlign(lum::PictureLeftEdge);
        b->setMinimumSize(120, 32);
        grid->addWidget(b, i / 3, i % 3);
    }
    window.show();
    QApplication::processEvents();
    // Rendering the window into an image paints every button, exposed or not.
    QImage target(window.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        window.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["buttons"] = double(window.findChildren<LumButton*>().size());
}
BENCHMARK(repaintTwelveButtons)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    return zelvora::bench::run(argc, argv);
}
