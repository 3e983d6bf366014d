// The built-in sprite sheet, 80 x 64 pixels in 16 colours, as XPM text: one
// character per pixel, each standing for the palette colour listed above the
// rows. Edit the rows to change the artwork.
//
// Regions (left, top):   image       mask
//   marker   32 x 32     (0, 0)      (0, 32)
//   launcher 32 x 32     (32, 0)     (32, 32)
//   shot     16 x 16     (64, 0)     (64, 16)
// Masks are black where the sprite is opaque and white where it is transparent;
// images are black wherever their mask is white. (64, 32) to (79, 63) is unused
// and white.

#include "SpriteSheetXpm.h"

// clang-format off
const char* const SpriteSheetXpm[] = {
    "80 64 16 1",
    "  c #000000",
    "r c #800000",
    "g c #008000",
    "o c #808000",
    "b c #000080",
    "p c #800080",
    "t c #008080",
    ": c #C0C0C0",
    "= c #808080",
    "R c #FF0000",
    "G c #00FF00",
    "Y c #FFFF00",
    "B c #0000FF",
    "M c #FF00FF",
    "C c #00FFFF",
    "# c #FFFFFF",
    "                                                                                ",
    "              YYYY                                                     YY       ",
    "          YYYYYYYYYYYY                    o          Y               YYYYYY     ",
    "        YYYYYYYYYYYYYYYY                  Yo        Yo               YYYYYY     ",
    "       YYYYYYYYYYYYYYYYYY                 Yoo      YYo                YYYY      ",
    "      YYYYYYYYYYYYYYYYYYYY                YYoo    YYoo                YYYY      ",
    "     YYYYYYYYYYYYYYYYYYYYYY               YYooo  oYYoo                          ",
    "    YYYYYYYYYYYYYYYYYYYYYYYY              YYYYYYYYYYoo                 YY       ",
    "   YYYYYYYYYYYYYYYYYYYYYYYYYY             YYYYYooYYYYY           YYYYY YY YYYYY ",
    "   YYYYYYY  YYYYYYYY  YYYYYYY             YYooo##oooYY            YYYYY  YYYYY  ",
    "  YYYYYYY    YYYYYY    YYYYYYY    YoooooYYYo########oYYYYYYYYo    YYYYY  YYYYY  ",
    "  YYYYYYY    YYYYYY    YYYYYYo     YYoooYYo####YY####oYYYYYoo     YYYY    YYYY  ",
    "  YYYYYYY    YYYYYY    YYYYYYo      YYYYYo###YYYYYY###oYYooo       YYY    YYY   ",
    "  YYYYYYY    YYYYYY    YYYYYYo       YYYYo##YYYYYYYY##oYYoo         Y      Y    ",
    " YYYYYYYYY  YYYYYYYY  YYYYYYYoo       oYYo##YYYYYYYY##oYYo                      ",
    " YYYYYYYYYYYYYYYYYYYYYYYYYYYYoo        Yo##YYYYYYYYYY##oY                       ",
    " YYYYYYYYYYYYYYYYYYYYYYYYYYYYoo        Yo##YYYYYYYYYY##oY       #####      #####",
    " YYYYYYYYYYYYYYYYYYYYYYYYYYYYoo       oYYo##YYYYYYYY##oYYo      ###          ###",
    "  YYYYYY YYYYYYYYYYYYYY YYYYYo       ooYYo##YYYYYYYY##oYYYY     ##            ##",
    "  YYYYYY  YYYYYYYYYYYY  YYYYYo      oooYYo###YYYYYY###oYYYYY    #              #",
    "  YYYYYYY  YYYYYYYYYY  YYYYYoo     ooYYYYYo####YY####oYYoooYY   #              #",
    "  YYYYYYYY   YYYYYY   YYYYYYoo    oYYYYYYYYo########oYYYoooooY                  ",
    "   YYYYYYYY          YYYYYYoo             YYooo##oooYY                          ",
    "   YYYYYYYYYY      YYYYYYYYoo             YYYYYooYYYYY                          ",
    "    YYYYYYYYYYYYYYYYYYYYYYoo              ooYYYYYYYYYY                          ",
    "     YYYYYYYYYYYYYYYYYYYYoo               ooYYo  oooYY                          ",
    "      YYYYYYYYYYYYYYYYYYoo                ooYY    ooYY                          ",
    "       YYYYYYYYYYYYYYYooo                 oYY      ooY          #              #",
    "        YYYYYYYYYYYYoooo                  oY        oY          #              #",
    "          Yooooooooooo                    Y          o          ##            ##",
    "              oooo                                              ###          ###",
    "                                                                #####      #####",
    "############        ############################################################",
    "#########              #########################################################",
    "#######                  ################# ########## ##########################",
    "######                    ################  ########  ##########################",
    "#####                      ###############   ######   ##########################",
    "####                        ##############    ####    ##########################",
    "###                          #############     ##     ##########################",
    "##                            ############            ##########################",
    "##                            ############            ##########################",
    "#                              ###########            ##########################",
    "#                              ###                            ##################",
    "#                              ####                          ###################",
    "                                ####                        ####################",
    "                                #####                      #####################",
    "                                ######                    ######################",
    "                                #######                  #######################",
    "                                #######                  #######################",
    "                                ######                    ######################",
    "                                #####                      #####################",
    "                                ####                        ####################",
    "#                              ####                          ###################",
    "#                              ###                            ##################",
    "#                              ###########            ##########################",
    "##                            ############            ##########################",
    "##                            ############            ##########################",
    "###                          #############     ##     ##########################",
    "####                        ##############    ####    ##########################",
    "#####                      ###############   ######   ##########################",
    "######                    ################  ########  ##########################",
    "#######                  ################# ########## ##########################",
    "#########              #########################################################",
    "############        ############################################################",
};
// clang-format on

const std::size_t SpriteSheetXpmLines = sizeof SpriteSheetXpm / sizeof SpriteSheetXpm[0];
