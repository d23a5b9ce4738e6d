package rules;

import static com.ulno.gc.Builtins.*;

import com.ulno.gc.*;

/** A facade split into floors and tiles, windows picked at random from a few assets. */
@SGLAnnotations({
    @SGLAnnotation(name = "@_VERSION", types = {'s', 's'}, names = {"sglc", "sgl"},
                   bvals = {false, false}, dvals = {0.0, 0.0}, svals = {"1.10", "1.4"})
})
public class Facade {
    public static double floorHeight;
    public static double tileWidth;
    public static String windowAsset;

    @SGLAnnotations({
        @SGLAnnotation(name = "_$ATTR", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "$Group", types = {'s', 'f'}, names = {"", ""},
                       bvals = {false, false}, dvals = {0.0, 1.0}, svals = {"Facade", ""}),
        @SGLAnnotation(name = "@Range", types = {'f', 'f'}, names = {"min", "max"},
                       bvals = {false, false}, dvals = {2.5, 5.0}, svals = {"", ""})
    })
    public static double floorHeight() {
        floorHeight = 3.2;
        return floorHeight;
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$ATTR", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "$Group", types = {'s', 'f'}, names = {"", ""},
                       bvals = {false, false}, dvals = {0.0, 1.0}, svals = {"Facade", ""})
    })
    public static double tileWidth() {
        tileWidth = floorHeight * 0.9;
        return tileWidth;
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$ATTR", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "@File", types = {'s'}, names = {"ext"}, bvals = {false},
                       dvals = {0.0}, svals = {"obj"})
    })
    public static String windowAsset() {
        double p = rand();
        if (p < 0.5) {
            windowAsset = "assets/windows/plain.obj";
        } else if (p < 0.8) {
            windowAsset = "assets/windows/arched.obj";
        } else {
            windowAsset = "assets/windows/shutters.obj";
        }
        return windowAsset;
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "$StartRule", types = {}, names = {}, bvals = {}, dvals = {},
                       svals = {})
    })
    public static void Facade() {
        SplitNode root = _$createSplitRoot(1);
        SplitNode floor = _$createSplitNode(Scale.FLT, floorHeight, false, 1);
        _$addOpSeq(floor, 1);
        _$addSplitNode(root, floor);
        split(SplitAxis.y, root);
        Floor(split$index(), split$total());
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {}),
        @SGLAnnotation(name = "@Description", types = {'s'}, names = {""}, bvals = {false},
                       dvals = {0.0}, svals = {"One floor: a ground floor gets a door"})
    })
    public static void Floor(double index, double count) {
        boolean ground = index == 0;
        SplitNode root = _$createSplitRoot(1);
        SplitNode tile = _$createSplitNode(Scale.FLT, tileWidth, false, 1);
        _$addOpSeq(tile, 1);
        _$addSplitNode(root, tile);
        split(SplitAxis.x, root);
        if (ground && split$index() == 1) {
            Door();
        } else {
            Tile(_$add("floor ", index));
        }
        set("floors", count);
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {})
    })
    public static void Tile(String label) {
        _$push();
        s(Scale.REL, 1, Scale.ABS, 1.5, Scale.ABS, 0.3);
        center(AxesSelector.xy);
        i(windowAsset);
        _$pop();
        label(label);
    }

    @SGLAnnotations({
        @SGLAnnotation(name = "_$RULE", types = {}, names = {}, bvals = {}, dvals = {}, svals = {})
    })
    public static void Door() {
        i("assets/doors/door.obj", UpAxisSelector.yUp, InsertMode.keepSizeAndPosition);
        texture("textures/door.jpg");
    }
}
