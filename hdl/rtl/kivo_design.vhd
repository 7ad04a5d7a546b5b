-- The reference design behind the bus: the devices of the demonstration board at their
-- addresses. Bus protocol (the trace BFM and the EPP slave both drive it):
--   write: bus_we high for one clock with bus_addr and bus_wdata;
--   read:  bus_re high for one clock with bus_addr; bus_rdata is taken at the end of the first
--          following clock in which bus_wait is low, while bus_addr stays put.
-- Addresses outside every device read 00 and ignore writes.
library ieee;
use ieee.std_logic_1164.all;
use ieee.numeric_std.all;
use work.kivo_logic_analyser_pkg.all;

entity kivo_design is
  generic (
    ram_base       : std_logic_vector(31 downto 0) := x"10000000";
    ram_addr_bits  : positive := 16;
    la_base        : std_logic_vector(31 downto 0) := x"20000000";
    i2c_base       : std_logic_vector(31 downto 0) := x"60000000";
    i2c_quarter    : positive := 25;
    adc_base       : std_logic_vector(31 downto 0) := x"70000000";
    adc_mem_base   : std_logic_vector(31 downto 0) := x"70010000";
    adc_mem_bits   : positive := 16;
    adc_word_clocks : positive := 64
  );
  port (
    clk         : in    std_logic;
    rst         : in    std_logic;
    bus_addr    : in    std_logic_vector(31 downto 0);
    bus_wdata   : in    std_logic_vector(7 downto 0);
    bus_we      : in    std_logic;
    bus_re      : in    std_logic;
    bus_rdata   : out   std_logic_vector(7 downto 0);
    bus_wait    : out   std_logic;
    -- bit 0 of the reset register: the design's own reset, driven by the script's reset
    board_reset : out   std_logic;
    i2c_scl     : inout std_logic;
    i2c_sda     : inout std_logic;
    adc_channel : out   std_logic_vector(2 downto 0);
    adc_control : out   std_logic_vector(7 downto 0);
    adc_restart : out   std_logic;
    adc_convert : out   std_logic;
    adc_code    : in    std_logic_vector(13 downto 0)
  );
end entity;

architecture rtl of kivo_design is
  constant reset_register_address : std_logic_vector(31 downto 0) := x"FFFFFFFF";
  constant ready_register_address : std_logic_vector(31 downto 0) := x"60000010";
  -- The analyser of the demonstration board: 1024 words of 16 bits, 40 trigger and 12 CE bits.
  constant la_window_bits : natural := work.kivo_logic_analyser_pkg.la_window_bits(10, 16);

  type source_t is (none, ram, ready, la, i2c, adc_reg, adc_mem);
  signal source : source_t := none;

  signal ram_sel, ready_sel, la_sel, i2c_sel, adc_sel, adc_mem_sel : std_logic;
  signal ram_q, ready_q, la_q, i2c_q, adc_q, adc_mem_q : std_logic_vector(7 downto 0);
  signal la_start, la_armed : std_logic;
  -- The analyser's probes: a counter that starts at 0 with every capture, so that what it
  -- captures depends only on the trigger and CE settings, not on when the host polls. Nobody
  -- looks at it between captures, so it rests then.
  signal la_probe  : unsigned(63 downto 0) := (others => '0');
  signal reset_value : std_logic_vector(7 downto 0) := (others => '0');
begin
  ram_sel <= '1' when bus_addr(31 downto ram_addr_bits) = ram_base(31 downto ram_addr_bits) else '0';
  ready_sel <= '1' when bus_addr = ready_register_address else '0';
  la_sel <= '1' when bus_addr(31 downto la_window_bits) = la_base(31 downto la_window_bits) else '0';
  i2c_sel <= '1' when bus_addr(31 downto 3) = i2c_base(31 downto 3) else '0';
  adc_sel <= '1' when bus_addr(31 downto 4) = adc_base(31 downto 4) else '0';
  adc_mem_sel <= '1' when bus_addr(31 downto adc_mem_bits) = adc_mem_base(31 downto adc_mem_bits) else '0';

  ram_i : entity work.kivo_ram
    generic map (addr_bits => ram_addr_bits)
    port map (clk => clk, sel => ram_sel, addr => bus_addr(ram_addr_bits - 1 downto 0),
              we => bus_we, wdata => bus_wdata, rdata => ram_q);

  ready_i : entity work.kivo_ready_register
    port map (clk => clk, rst => rst, sel => ready_sel, we => bus_we, re => bus_re,
              wdata => bus_wdata, rdata => ready_q);

  la_i : entity work.kivo_logic_analyser
    generic map (mem_adr_width => 10, data_width => 16, trig_width => 40, ce_dwidth => 12)
    port map (clk => clk, rst => rst, sel => la_sel, offset => bus_addr(la_window_bits - 1 downto 0),
              we => bus_we, re => bus_re, wdata => bus_wdata, rdata => la_q,
              sample_en => '1', probe => std_logic_vector(la_probe), capture_start => la_start,
              capturing => la_armed);

  process (clk)
  begin
    if rising_edge(clk) then
      if la_start = '1' then
        la_probe <= (others => '0');
      elsif la_armed = '1' then
        la_probe <= la_probe + 1;
      end if;
    end if;
  end process;

  i2c_i : entity work.kivo_i2c_controller
    generic map (quarter_clocks => i2c_quarter)
    port map (clk => clk, rst => rst, sel => i2c_sel, offset => bus_addr(2 downto 0),
              we => bus_we, re => bus_re, wdata => bus_wdata, rdata => i2c_q,
              scl => i2c_scl, sda => i2c_sda);

  adc_i : entity work.kivo_adc_controller
    generic map (mem_base => adc_mem_base, mem_addr_bits => adc_mem_bits, word_clocks => adc_word_clocks)
    port map (clk => clk, rst => rst, reg_sel => adc_sel, mem_sel => adc_mem_sel, addr => bus_addr,
              we => bus_we, re => bus_re, wdata => bus_wdata, reg_rdata => adc_q,
              mem_rdata => adc_mem_q, mem_wait => bus_wait,
              adc_channel => adc_channel, adc_control => adc_control, adc_restart => adc_restart,
              adc_convert => adc_convert, adc_code => adc_code);

  -- The reset register keeps what is written and reads 00.
  process (clk)
  begin
    if rising_edge(clk) then
      if rst = '1' then
        reset_value <= (others => '0');
      elsif bus_we = '1' and bus_addr = reset_register_address then
        reset_value <= bus_wdata;
      end if;
      if bus_re = '1' then
        if ram_sel = '1' then
          source <= ram;
        elsif ready_sel = '1' then
          source <= ready;
        elsif la_sel = '1' then
          source <= la;
        elsif i2c_sel = '1' then
          source <= i2c;
        elsif adc_sel = '1' then
          source <= adc_reg;
        elsif adc_mem_sel = '1' then
          source <= adc_mem;
        else
          source <= none;
        end if;
      end if;
    end if;
  end process;
  board_reset <= reset_value(0);

  with source select bus_rdata <=
    ram_q     when ram,
    ready_q   when ready,
    la_q      when la,
    i2c_q     when i2c,
    adc_q     when adc_reg,
    adc_mem_q when adc_mem,
    x"00"     when none;
end architecture;
