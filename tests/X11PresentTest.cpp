// The playfield presented on a real X server (run under on_xvfb.sh): what the
// window shows must equal the playfield surface exactly, pixel for pixel,
// whether a frame went through the shared-memory image or, while the server
// may still be reading that, over the socket; and nothing outside the
// playfield may be touched.

#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>

#include "PictureBox.h"
#include "QtSeams.h"
#include "Raster.h"
#include "World.h"
#include "X11SharedImage.h"

class X11PresentTest : public QObject {
    Q_OBJECT

private:
    xcb_connection_t* Connection()
    {
        return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    }

    /// The window's pixels as the X server holds them, 0x00RRGGBB.
    QImage Screen(QWidget& window)
    {
        xcb_get_image_reply_t* reply =
            xcb_get_image_reply(Connection(),
                                xcb_get_image(Connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, xcb_window_t(window.winId()), 0,
                                              0, std::uint16_t(window.width()), std::uint16_t(window.height()), ~0u),
                                nullptr);
        if (!reply)
            return {};
        const QImage image =
            QImage(xcb_get_image_data(reply), window.width(), window.height(), QImage::Format_RGB32).copy();
        std::free(reply);
        return image;
    }

    /// Every pixel of the playfield on the screen equals the surface's; the
    /// two-pixel border around it is left as Qt drew it.
    void CompareScreen(QWidget& window, const PictureBox& picture, const Surface& playfield, const QImage& before)
    {
        const QImage shown = Screen(window);
        QVERIFY(!shown.isNull());
        const QPoint origin = picture.mapTo(&window, picture.DrawingOrigin());
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QPoint at(x, y);
                const QRect field(origin, QSize(playfield.Width, playfield.Height));
                const QRgb expected =
                    field.contains(at)
                        ? QRgb(playfield.Pixels[std::size_t((y - origin.y()) * playfield.Width + x - origin.x())])
                        : before.pixel(at);
                if ((shown.pixel(at) & 0xFFFFFF) != (expected & 0xFFFFFF))
                    QFAIL(qPrintable(QString("pixel (%1, %2) is %3, not %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(shown.pixel(at) & 0xFFFFFF, 6, 16)
                                         .arg(expected & 0xFFFFFF, 6, 16)));
            }
    }

    static void FillBlack(Surface& surface, int left, int top, int width, int height)
    {
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x)
                surface.Pixels[std::size_t(y * surface.Width + x)] = 0xFF000000;
    }

    /// A property change the server reports back: an event that names a request after the last put.
    void ProvokeEvent(QWidget& window)
    {
        const char value = 'x';
        xcb_change_property(Connection(), XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()), XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, 1, &value);
        xcb_flush(Connection());
    }

private slots:
    void everyFrameReachesTheScreenExactlyByEitherWay()
    {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs an X server");
        QWidget window;
        window.resize(320, 320);
        Surface playfield = MakeSurface(PlayfieldSize, PlayfieldSize);
        PictureBox picture(playfield, &window);
        picture.setGeometry(8, 8, 304, 304);
        PlayfieldPresenter presenter(picture);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(50);
        const QImage before = Screen(window);

        // A frame through the shared segment; the next at once, before any event, over the socket.
        FillBlack(playfield, 20, 30, 100, 40);
        presenter.Present(playfield, AnyChange);
        QVERIFY2(presenter.Direct(), "the X11 shared-memory way was not taken");
        QVERIFY(presenter.Direct()->SegmentBusy());
        MoveToEx(playfield, 0, 299);
        LineTo(playfield, 299, 0);
        presenter.Present(playfield, AnyChange);
        CompareScreen(window, picture, playfield, before);
        if (QTest::currentTestFailed())
            return;

        // An event after the put frees the segment: the next frame goes through it again.
        ProvokeEvent(window);
        QTRY_VERIFY(!presenter.Direct()->SegmentBusy());
        BitBlt(playfield, 0, 0, PlayfieldSize, PlayfieldSize, nullptr, 0, 0, WHITENESS);
        FillBlack(playfield, 284, 284, 16, 16);
        presenter.Present(playfield, AnyChange);
        QVERIFY(presenter.Direct()->SegmentBusy());
        CompareScreen(window, picture, playfield, before);
        if (QTest::currentTestFailed())
            return;
    }
};

QTEST_MAIN(X11PresentTest)
#include "X11PresentTest.moc"
